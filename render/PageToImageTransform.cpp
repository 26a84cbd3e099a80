#include "render/PageToImageTransform.h"

#include <utility>

QTransform pageToImageTransform(const QRectF& box, int rotation, const QSizeF& imageSize) {
    const QRectF r = box.normalized();
    const qreal w = r.width();
    const qreal h = r.height();

    // Move the box's top-left corner to the origin and flip y, giving an upright w x h picture.
    const QTransform upright(1, 0, 0, -1, -r.left(), r.bottom());

    // Turn that picture clockwise about its own area, so it again starts at the origin.
    QTransform turn;
    qreal shownWidth = w;
    qreal shownHeight = h;
    switch (((rotation % 360) + 360) % 360) {
    case 90:
        turn = QTransform(0, 1, -1, 0, h, 0);
        std::swap(shownWidth, shownHeight);
        break;
    case 180:
        turn = QTransform(-1, 0, 0, -1, w, h);
        break;
    case 270:
        turn = QTransform(0, -1, 1, 0, 0, w);
        std::swap(shownWidth, shownHeight);
        break;
    default:
        break;
    }

    const QTransform stretch =
        QTransform::fromScale(imageSize.width() / shownWidth, imageSize.height() / shownHeight);
    return upright * turn * stretch;
}
