#include "ui/LayerStyle.h"

#include <QPainter>

#include <algorithm>

namespace {

QPainterPath roundedRect(const QRectF& rect, qreal radius) {
    const qreal limit = std::max(0.0, std::min(rect.width(), rect.height()) / 2);
    const qreal r = std::clamp(radius, 0.0, limit);
    QPainterPath path;
    path.addRoundedRect(rect, r, r);
    return path;
}

} // namespace

QPainterPath LayerStyle::outline(const QRectF& bounds) const {
    return roundedRect(bounds, cornerRadius);
}

void LayerStyle::paintBackground(QPainter& painter, const QRectF& bounds) const {
    if (backgroundColor.alpha() == 0 || bounds.isEmpty())
        return;
    painter.fillPath(outline(bounds), backgroundColor);
}

void LayerStyle::paintBorder(QPainter& painter, const QRectF& bounds) const {
    if (borderColor.alpha() == 0 || borderWidth <= 0 || bounds.isEmpty())
        return;
    // The ring between the outline and the outline moved in by the width, so the inner
    // corners stay concentric with the outer ones.
    const qreal w = borderWidth;
    QPainterPath ring = outline(bounds);
    const QRectF inner = bounds.adjusted(w, w, -w, -w);
    if (!inner.isEmpty())
        ring.addPath(roundedRect(inner, cornerRadius - w));
    ring.setFillRule(Qt::OddEvenFill);
    painter.fillPath(ring, borderColor);
}
