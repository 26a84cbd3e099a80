#include "crop/CropGeometry.h"

#include "crop/RectMath.h"

#include <cmath>
#include <optional>

namespace CropGeometry {

namespace {

// pageLength / viewLength when both are lengths; nothing otherwise, nor when lengths too far
// apart make the ratio zero or infinite.
std::optional<double> scale(double pageLength, double viewLength) {
    const double ratio = pageLength / viewLength;
    if (pageLength > 0 && viewLength > 0 && ratio > 0 && std::isfinite(ratio))
        return ratio;
    return std::nullopt;
}

QRectF divided(const QRectF& r, std::optional<double> s) {
    if (!s)
        return QRectF();
    return QRectF(r.x() / *s, r.y() / *s, r.width() / *s, r.height() / *s);
}

QRectF multiplied(const QRectF& r, std::optional<double> s) {
    if (!s)
        return QRectF();
    return QRectF(r.x() * *s, r.y() * *s, r.width() * *s, r.height() * *s);
}

} // namespace

QRectF mainPDFImgViewShowRect(const QRectF& pageRect) {
    const double w = pageRect.width();
    const double h = pageRect.height();
    if (!(w > 0) && !(h > 0))
        return QRectF(kPageSquareSide * 0.5, kPageSquareSide * 0.5, 0, 0);
    // The ratio of the sides first, at most 1: dividing by a side over the square's would
    // divide by zero for the very smallest sides.
    if (h > w) {
        const double width = kPageSquareSide * (w / h);
        return QRectF((kPageSquareSide - width) * 0.5, 0, width, kPageSquareSide);
    }
    const double height = kPageSquareSide * (h / w);
    return QRectF(0, (kPageSquareSide - height) * 0.5, kPageSquareSide, height);
}

QRectF pdfImgViewCropRectWithShowRect(const QRectF& showRect, const QRectF& pageRect,
                                      const QRectF& cropRect) {
    auto s = scale(pageRect.height(), showRect.height());
    if (!s)
        s = scale(pageRect.width(), showRect.width());
    return divided(cropRect, s);
}

QRectF displayRectFromViewRect(const QRectF& viewRect, const QRectF& pageRect,
                               const QSizeF& viewFrameSize) {
    auto u = scale(pageRect.width(), viewFrameSize.width());
    if (!u)
        u = scale(pageRect.height(), viewFrameSize.height());
    return multiplied(viewRect, u);
}

QRectF fitCropRect(const QRectF& crop, const QRectF& from, const QRectF& to) {
    const double distanceFromTop = from.height() - crop.y() - crop.height();
    const QRectF moved(crop.x(), to.height() - distanceFromTop - crop.height(), crop.width(),
                       crop.height());
    const QRectF target(0, 0, to.width(), to.height());
    return RectMath::intersection(moved, target).value_or(target);
}

QRectF pageSpaceCropRect(const RMCropInfo& info) {
    const QRectF& k = info.cropRect;
    const double w = info.originalPageRect.width();
    const double h = info.originalPageRect.height();
    QRectF unturned;
    if (info.pageRoation == 270)
        unturned = QRectF(k.y(), h - k.x() - k.width(), k.height(), k.width());
    else if (info.pageRoation == 90)
        unturned = QRectF(w - k.y() - k.height(), k.x(), k.height(), k.width());
    else if (info.pageRoation == 180)
        unturned = QRectF(w - k.x() - k.width(), h - k.y() - k.height(), k.width(), k.height());
    else
        unturned = k;
    return unturned.translated(info.pageRect.x(), info.pageRect.y());
}

std::optional<QRectF> displaySpaceRect(const RMCropInfo& info, const QRectF& pageSpace) {
    const QRectF r = pageSpace.translated(-info.pageRect.x(), -info.pageRect.y());
    const double w = info.originalPageRect.width();
    const double h = info.originalPageRect.height();
    QRectF turned;
    if (info.pageRoation == 270)
        turned = QRectF(h - r.y() - r.height(), r.x(), r.height(), r.width());
    else if (info.pageRoation == 90)
        turned = QRectF(r.y(), w - r.x() - r.width(), r.height(), r.width());
    else if (info.pageRoation == 180)
        turned = QRectF(w - r.x() - r.width(), h - r.y() - r.height(), r.width(), r.height());
    else
        turned = r;
    return RectMath::intersection(turned,
                                  QRectF(0, 0, info.pageRect.width(), info.pageRect.height()));
}

} // namespace CropGeometry
