#pragma once

#include "crop/PdfBox.h"

#include <QRectF>

#include <array>
#include <optional>

// The rotation and the five effective boxes of one page, in page space.
struct PageGeometry {
    int rotation = 0;
    std::array<QRectF, kPdfBoxCount> boxes;
    // The page's own object in the file is not a dictionary: there is nothing to draw it
    // from, and its boxes are the defaults.
    bool damaged = false;
    // The boxes the page had before this program first saved it cropped, kept in the file
    // (OriginalBoxesEntry); nothing for a page it never changed.
    std::optional<std::array<QRectF, kPdfBoxCount>> keptOriginal;

    const QRectF& box(PdfBox which) const { return boxes[static_cast<int>(which)]; }
    QRectF& box(PdfBox which) { return boxes[static_cast<int>(which)]; }

    // A /Rotate value as displayed: multiples of 90 (negative too, or beyond 360) become
    // 0, 90, 180 or 270; anything else, including non-integers, is 0.
    static int normalizedRotation(double degrees);
};
