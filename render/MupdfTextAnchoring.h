#pragma once

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <unordered_set>

// Gives every text object of a page, and of every form it draws, an absolute start (an
// identity text matrix right after BT), drawing exactly as before.
//
// MuPDF's content filter, when it takes every glyph out of a text object, carries that
// object's relative moves (Td) into the next text object it writes, which would then show
// elsewhere or off the page; from an absolute start it writes each object where it was.
//
// Called inside an fz_try block: MuPDF's errors are thrown (longjmp) to it.
namespace MupdfTextAnchoring {

// Anchors page's contents and the forms its resources reach; anchored holds the object
// numbers of the forms anchored so far in the document, which are not anchored again.
void anchor(fz_context* ctx, pdf_document* doc, pdf_page* page, std::unordered_set<int>* anchored);

} // namespace MupdfTextAnchoring
