#pragma once

struct fz_context;
struct pdf_document;
struct pdf_page;

// One page of a document MuPDF has open, loaded for as long as this object lives.
//
// MuPDF reports errors with longjmp, which must never skip a C++ destructor. Loading catches
// its own errors, so an instance may live in the frame of a function with an fz_try block that
// works on the page, declared before that block and never inside it.
//
// Thread: the one that uses ctx.
class MupdfPage {
public:
    // Loads page pageIndex (0-based) of doc; ctx and doc must outlive this object. When that
    // fails, MuPDF's error is in ctx (fz_caught_message).
    MupdfPage(fz_context* ctx, pdf_document* doc, int pageIndex);
    ~MupdfPage();

    MupdfPage(const MupdfPage&) = delete;
    MupdfPage& operator=(const MupdfPage&) = delete;

    // The loaded page; null if it could not be loaded.
    pdf_page* get() const { return page_; }

private:
    fz_context* ctx_;
    pdf_page* page_ = nullptr;
};
