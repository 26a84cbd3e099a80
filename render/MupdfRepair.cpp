#include "render/MupdfRepair.h"

#include "render/MupdfDocument.h"

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

namespace {

constexpr size_t kStoreBytes = 8u << 20;

void quiet(void*, const char*) {}

} // namespace

namespace MupdfRepair {

std::optional<QByteArray> repairedCopy(QByteArrayView bytes) {
    fz_context* ctx = fz_new_context(nullptr, nullptr, kStoreBytes);
    if (!ctx)
        return std::nullopt;
    fz_set_error_callback(ctx, quiet, nullptr);
    fz_set_warning_callback(ctx, quiet, nullptr);
    std::optional<QByteArray> copy;
    {
        const MupdfDocument document(ctx, bytes, "");
        if (document.status() == MupdfDocument::Status::Open && document.pageCount() > 0)
            copy = document.written(false);
    }
    fz_drop_context(ctx);
    return copy;
}

} // namespace MupdfRepair
