#pragma once

#include "crop/PdfBox.h"

#include <QRectF>
#include <QtGlobal>

#include <array>
#include <optional>

// How one page looks as displayed and which part of it the user keeps.
//
// Display space is the page turned by its rotation, in points, origin at the lower-left
// corner of the displayed page, y upward. View space is the page view's own, in which the
// crop marker reports its rectangle.
struct RMCropInfo {
    // The page's rotation when the record was built: 0, 90, 180 or 270.
    qint64 pageRoation = 0;
    // The kept part of the page in display space; (0, 0, displayed width, displayed height)
    // keeps everything.
    QRectF cropRect;
    // The view-space rectangle of the last finished crop that set this record directly;
    // zero until then.
    QRectF showRect;
    // The crop box as read, origin as read, width and height exchanged for 90 and 270: its
    // size is the displayed size of the page.
    QRectF pageRect;
    // The crop box exactly as read, unrotated.
    QRectF originalPageRect;
    // A pending restore: the five boxes, in PdfBox order and page space, the page gets in
    // place of any crop.
    std::optional<std::array<QRectF, kPdfBoxCount>> restoredBoxes = {};
};
