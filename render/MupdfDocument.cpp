#include "render/MupdfDocument.h"

#include "render/MupdfByteStream.h"

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

namespace {

// Plain pointers and numbers only in this frame, for longjmp to skip.
MupdfDocument::Status open(fz_context* ctx, const unsigned char* data, size_t size,
                           const char* password, pdf_document** docOut, int* pageCountOut) {
    fz_stream* stream = nullptr;
    pdf_document* doc = nullptr;
    MupdfDocument::Status status = MupdfDocument::Status::Open;
    fz_var(stream);
    fz_var(doc);
    fz_var(status);
    fz_try(ctx) {
        stream = MupdfByteStream::open(ctx, data, size);
        doc = pdf_open_document_with_stream(ctx, stream);
        if (pdf_needs_password(ctx, doc) && !pdf_authenticate_password(ctx, doc, password))
            status = MupdfDocument::Status::Locked;
        else
            *pageCountOut = pdf_count_pages(ctx, doc);
    }
    fz_always(ctx) {
        fz_drop_stream(ctx, stream);
    }
    fz_catch(ctx) {
        status = MupdfDocument::Status::Failed;
    }
    if (status != MupdfDocument::Status::Open) {
        pdf_drop_document(ctx, doc);
        doc = nullptr;
    }
    *docOut = doc;
    return status;
}

// Plain pointers only in this frame, for longjmp to skip; null when it cannot be written.
fz_buffer* writeDocument(fz_context* ctx, pdf_document* doc, bool compressesPlainStreams) {
    fz_buffer* buffer = nullptr;
    fz_output* out = nullptr;
    fz_var(buffer);
    fz_var(out);
    fz_try(ctx) {
        buffer = fz_new_buffer(ctx, 1 << 20);
        out = fz_new_output_with_buffer(ctx, buffer);
        pdf_write_options options = pdf_default_write_options;
        // Collected but not renumbered: renumbering loses the encryption dictionary of a file
        // whose encryption is kept.
        options.do_garbage = 1;
        options.do_compress = compressesPlainStreams;
        options.do_encrypt = PDF_ENCRYPT_KEEP;
        pdf_write_document(ctx, doc, out, &options);
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

} // namespace

std::optional<QByteArray> MupdfDocument::written(bool compressesPlainStreams) const {
    fz_buffer* buffer = doc_ ? writeDocument(ctx_, doc_, compressesPlainStreams) : nullptr;
    if (!buffer)
        return std::nullopt;
    unsigned char* data = nullptr;
    const size_t length = fz_buffer_storage(ctx_, buffer, &data);
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(length));
    fz_drop_buffer(ctx_, buffer);
    return bytes;
}

MupdfDocument::MupdfDocument(fz_context* ctx, QByteArrayView bytes, const char* password)
    : ctx_(ctx) {
    status_ = open(ctx_, reinterpret_cast<const unsigned char*>(bytes.data()), size_t(bytes.size()),
                   password, &doc_, &pageCount_);
}

MupdfDocument::~MupdfDocument() {
    pdf_drop_document(ctx_, doc_);
}
