#pragma once

#include <QRectF>
#include <QSizeF>
#include <QTransform>

// The mapping that a page picture is drawn with: from PDF page space (points, origin
// lower-left, y up) to image space (origin top-left, y down), such that box, turned clockwise
// by rotation degrees (a multiple of 90, any sign), exactly fills imageSize.
//
// The page view uses the same mapping, inverted, to turn mouse positions into page points.
// box must be non-empty; its corners may be given in either order.
QTransform pageToImageTransform(const QRectF& box, int rotation, const QSizeF& imageSize);
