#include "render/SharedRenderCopy.h"

const std::optional<PdfRenderSource>& SharedRenderCopy::get() {
    std::call_once(once_, [this] { copy_ = make_(); });
    return copy_;
}
