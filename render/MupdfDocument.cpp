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

} // namespace

MupdfDocument::MupdfDocument(fz_context* ctx, QByteArrayView bytes, const char* password)
    : ctx_(ctx) {
    status_ = open(ctx_, reinterpret_cast<const unsigned char*>(bytes.data()), size_t(bytes.size()),
                   password, &doc_, &pageCount_);
}

MupdfDocument::~MupdfDocument() {
    pdf_drop_document(ctx_, doc_);
}
