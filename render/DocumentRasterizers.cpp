#include "render/DocumentRasterizers.h"

#include "render/RenderWorkplace.h"
#include "render/SharedRenderCopy.h"

namespace DocumentRasterizers {

Maker maker(const PdfRenderSource& source, int pages,
            std::shared_ptr<const RenderWorkplace> workplace) {
    auto copy = std::make_shared<SharedRenderCopy>(
        [source, workplace] { return workplace->renderCopy(source); });
    RecoveringRasterizer::Factory make = [workplace](const PdfRenderSource& drawn) {
        return workplace->rasterizer(drawn);
    };
    return [source, pages, copy, make] {
        return std::make_unique<RecoveringRasterizer>(source, pages, copy, make);
    };
}

} // namespace DocumentRasterizers
