#pragma once

#include <QRectF>
#include <QSize>

// One picture of a page: which part of it, turned how far, at what size.
//
// The image shows `box` turned clockwise by `rotation` and stretched to `pixelSize`, so a
// caller that wants undistorted pages passes a size with the displayed aspect ratio (for 90
// and 270 degrees the displayed width is the box height). Content outside the box is not shown.
struct PageRenderRequest {
    // 0-based page number in the file, which a document's page split into parts shares with
    // its other parts (PdfDocument::filePageIndex).
    int pageIndex = 0;
    // The region of the page to show, in PDF page space: points, origin lower-left, y up,
    // before any rotation. Any rectangle: the crop box, a smaller crop, or a larger area.
    QRectF box;
    // Clockwise turn for display, as PDF /Rotate means it: a multiple of 90.
    int rotation = 0;
    // Size of the resulting image in device pixels.
    QSize pixelSize;
    // Set on the resulting image, so it paints at pixelSize / devicePixelRatio logical pixels.
    qreal devicePixelRatio = 1.0;
};
