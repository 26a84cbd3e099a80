#pragma once

#include "crop/PagePart.h"
#include "crop/PdfBox.h"

#include <QRectF>

#include <array>
#include <optional>

// The rotation and the five effective boxes of one page, in page space, and where the page
// comes from in its file.
struct PageGeometry {
    int rotation = 0;
    std::array<QRectF, kPdfBoxCount> boxes;
    // The page's own object in the file is not a dictionary: there is nothing to draw it
    // from, and its boxes are the defaults.
    bool damaged = false;
    // The boxes the page had before this program first saved it cropped, kept in the file
    // (OriginalBoxesEntry); nothing for a page it never changed.
    std::optional<std::array<QRectF, kPdfBoxCount>> keptOriginal;
    // The page of the file that this page is drawn from and saved as, counted from 0: its own
    // place as the file is read, and for each part of a page split since, the page split.
    int filePage = 0;
    // For a page split from another, which part of it this page is: as the file keeps it
    // beside the kept boxes, or as the split made it.
    std::optional<PagePart> part;
    // The part of its file page that the page shows, in page space, when that is not what the
    // file page shows itself: a part of a page split here, or the parts of a page joined into
    // it; empty otherwise. Kept however the page is cropped since.
    QRectF region;

    const QRectF& box(PdfBox which) const { return boxes[static_cast<int>(which)]; }
    QRectF& box(PdfBox which) { return boxes[static_cast<int>(which)]; }

    // A /Rotate value as displayed: multiples of 90 (negative too, or beyond 360) become
    // 0, 90, 180 or 270; anything else, including non-integers, is 0.
    static int normalizedRotation(double degrees);
};
