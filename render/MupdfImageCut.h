#pragma once

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <array>
#include <cstdint>
#include <map>

// Cuts an image XObject down to a rectangle of its pixels, in its own kind: a JPEG stays a
// JPEG, decoded and encoded again with its own quantization tables from the block boundary
// at or before the rectangle's corner, so the pixels kept change no more than JPEG noise;
// any other image keeps its exact samples, as CCITT Group 4 when it has one bit per pixel and
// Flate otherwise. Its soft mask or mask image is cut to the same part of the image.
//
// Called inside an fz_try block: MuPDF's errors are thrown (longjmp) to it.
namespace MupdfImageCut {

// What a cut made: a new image object, and where its pixels lie in the original's.
struct Cut {
    // Null when the image is kept whole: a kind that cannot be cut here (JPEG 2000), or a
    // rectangle that takes all of it once widened to the JPEG blocks.
    pdf_obj* image = nullptr;
    // The pixels the new image holds, rows counted from the top.
    fz_irect pixels{};
    // How many fewer bytes the new image's stream takes.
    int64_t saved = 0;
};

// image's pixels within pixels, which lies inside its width and height and is not empty.
Cut cut(fz_context* ctx, pdf_document* doc, pdf_obj* image, fz_irect pixels);

// The cuts made in one document so far, by image object and pixels, each with a reference of
// its own, which drop() gives up: an image drawn in the same place on many pages, a letterhead
// or a logo, is cut once and the pages share the cut.
struct CutsMade {
    std::map<std::array<int, 5>, Cut> cuts;
};

// As cut(), but the cut of an image and pixels already in made is that one; a new cut is
// added to made. The cut's image is made's reference, for the caller to keep its own.
Cut cutOnce(fz_context* ctx, pdf_document* doc, pdf_obj* image, fz_irect pixels, CutsMade* made);

void drop(fz_context* ctx, CutsMade* made);

} // namespace MupdfImageCut
