#include "cli/DisplayedCrop.h"

#include "crop/RectMath.h"

namespace DisplayedCrop {

std::optional<QRectF> of(const CropRequest& request, const QSizeF& page) {
    const double w = page.width();
    const double h = page.height();
    const auto& [a, b, c, d] = request.lengths;
    QRectF wanted;
    if (request.action == CropRequest::Action::Box) {
        wanted = QRectF(a.inPoints(w), b.inPoints(h), c.inPoints(w), d.inPoints(h));
    } else {
        // a, b, c, d are what is cut off the left, top, right and bottom; y runs up.
        const double left = a.inPoints(w);
        const double bottom = d.inPoints(h);
        wanted = QRectF(left, bottom, w - left - c.inPoints(w), h - bottom - b.inPoints(h));
    }
    if (!(wanted.width() > 0 && wanted.height() > 0))
        return std::nullopt;
    const auto kept = RectMath::intersection(wanted, QRectF(QPointF(0, 0), page));
    if (!kept || !(kept->width() > 0 && kept->height() > 0))
        return std::nullopt;
    return kept;
}

} // namespace DisplayedCrop
