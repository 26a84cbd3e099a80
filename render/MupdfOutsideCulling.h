#pragma once

#include "render/MupdfImageCut.h"

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <cstdint>

// Drops from a content stream the paths, shadings and images that draw wholly outside a
// rectangle, and cuts each image that draws partly outside it down to the part inside
// (MupdfImageCut). Forms are followed: each form drawn gets a copy of its own, culled where it
// is drawn, so a form drawn twice keeps in each place what shows there.
//
// A path that clips is always kept, and so is anything whose extent cannot be known; what
// crosses the rectangle's edge stays whole for the clip at the page's edge to cut.
//
// Called inside an fz_try block: MuPDF's errors are thrown (longjmp) to it.
namespace MupdfOutsideCulling {

// What culling took away.
struct Culled {
    int images = 0;
    int paths = 0;
    int64_t bytes = 0;
};

// The operators of contents, drawn with resources (which gains the cut images and the forms'
// copies) at ctm, culled to keep, which is in the same space as ctm maps to. Images are cut
// once for the document (MupdfImageCut::cutOnce), in cuts.
fz_buffer* cull(fz_context* ctx, pdf_document* doc, pdf_obj* contents, pdf_obj* resources,
                fz_matrix ctm, fz_rect keep, MupdfImageCut::CutsMade* cuts, Culled* culled);

} // namespace MupdfOutsideCulling
