#include "render/MupdfPage.h"

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

namespace {

// Plain pointers and numbers only in this frame, for longjmp to skip.
pdf_page* load(fz_context* ctx, pdf_document* doc, int pageIndex) {
    pdf_page* page = nullptr;
    fz_var(page);
    fz_try(ctx) {
        page = pdf_load_page(ctx, doc, pageIndex);
    }
    fz_catch(ctx) {
        // No page; the error stays in ctx.
    }
    return page;
}

} // namespace

MupdfPage::MupdfPage(fz_context* ctx, pdf_document* doc, int pageIndex)
    : ctx_(ctx), page_(load(ctx, doc, pageIndex)) {}

MupdfPage::~MupdfPage() {
    fz_drop_page(ctx_, page_ ? &page_->super : nullptr);
}
