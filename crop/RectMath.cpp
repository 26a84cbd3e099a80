#include "crop/RectMath.h"

#include <algorithm>

namespace RectMath {

std::optional<QRectF> intersection(const QRectF& a, const QRectF& b) {
    const double left = std::max(a.x(), b.x());
    const double right = std::min(a.x() + a.width(), b.x() + b.width());
    const double bottom = std::max(a.y(), b.y());
    const double top = std::min(a.y() + a.height(), b.y() + b.height());
    if (!(right >= left) || !(top >= bottom))
        return std::nullopt;
    return QRectF(left, bottom, right - left, top - bottom);
}

bool exactlyEqual(const QRectF& a, const QRectF& b) {
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}

QRectF standardized(const QRectF& r) {
    const double x0 = std::min(r.x(), r.x() + r.width());
    const double y0 = std::min(r.y(), r.y() + r.height());
    return QRectF(x0, y0, std::abs(r.width()), std::abs(r.height()));
}

} // namespace RectMath
