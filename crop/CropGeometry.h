#pragma once

#include "crop/RMCropInfo.h"

#include <QRectF>
#include <QSizeF>

#include <optional>

// Conversions between page space, display space and view space, and the carrying of a crop
// from one page size to another. Pure functions.
//
// A page whose displayed width or height is zero would make the scales below divide by zero.
// Such a page is shown as a line (or a point) in the middle of the square, and every scale
// falls back to the other axis, or to an empty rectangle when neither axis has a length, so
// no result is ever infinite or NaN.
namespace CropGeometry {

// Side of the square in which the page view shows a whole page, in points.
inline constexpr double kPageSquareSide = 573.0;

// Where the page view sits inside the square: the page of displayed size pageRect.size()
// fitted into the square and centred.
QRectF mainPDFImgViewShowRect(const QRectF& pageRect);

// A display-space crop scaled into the view space of a page view framed at showRect.
QRectF pdfImgViewCropRectWithShowRect(const QRectF& showRect, const QRectF& pageRect,
                                      const QRectF& cropRect);

// A view-space rectangle scaled back into display space, for a page view of the given frame
// size showing a page of displayed size pageRect.size().
QRectF displayRectFromViewRect(const QRectF& viewRect, const QRectF& pageRect,
                               const QSizeF& viewFrameSize);

// Carries crop (display space of a page sized from) to a page sized to: same size, same
// distance from the left and top edges, clipped to the target page. A crop that misses the
// target page altogether becomes the whole target page; one that only touches its edge
// stays an empty rectangle.
QRectF fitCropRect(const QRectF& crop, const QRectF& from, const QRectF& to);

// The record's crop in page space: the rotation undone and the crop box origin added.
QRectF pageSpaceCropRect(const RMCropInfo& info);

// The other way: a page-space rectangle in the record's display space, clipped to its page;
// nothing when it lies wholly off the page.
std::optional<QRectF> displaySpaceRect(const RMCropInfo& info, const QRectF& pageSpace);

} // namespace CropGeometry
