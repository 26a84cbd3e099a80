#include "render/MupdfRepair.h"

#include "render/MupdfDocument.h"

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

namespace {

constexpr size_t kStoreBytes = 8u << 20;

// The document outside the fz_try block and plain pointers inside: MuPDF reports errors with
// longjmp, which must never skip a C++ destructor. Returns the written copy, or null.
fz_buffer* writeRepaired(fz_context* ctx, QByteArrayView bytes) {
    const MupdfDocument document(ctx, bytes, "");
    if (document.status() != MupdfDocument::Status::Open || document.pageCount() <= 0)
        return nullptr;
    fz_buffer* buffer = nullptr;
    fz_output* out = nullptr;
    fz_var(buffer);
    fz_var(out);
    fz_try(ctx) {
        buffer = fz_new_buffer(ctx, size_t(bytes.size()) + 1024);
        out = fz_new_output_with_buffer(ctx, buffer);
        pdf_write_options options = pdf_default_write_options;
        // Objects nothing refers to are dropped; every stream is kept as it is compressed.
        options.do_garbage = 1;
        pdf_write_document(ctx, document.get(), out, &options);
        fz_close_output(ctx, out);
    }
    fz_always(ctx) {
        fz_drop_output(ctx, out);
    }
    fz_catch(ctx) {
        fz_drop_buffer(ctx, buffer);
        buffer = nullptr;
    }
    return buffer;
}

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
    if (fz_buffer* buffer = writeRepaired(ctx, bytes)) {
        unsigned char* written = nullptr;
        const size_t length = fz_buffer_storage(ctx, buffer, &written);
        copy = QByteArray(reinterpret_cast<const char*>(written), qsizetype(length));
        fz_drop_buffer(ctx, buffer);
    }
    fz_drop_context(ctx);
    return copy;
}

} // namespace MupdfRepair
