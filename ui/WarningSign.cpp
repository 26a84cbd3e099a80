#include "ui/WarningSign.h"

#include <QPainter>
#include <QPainterPath>

namespace WarningSign {

namespace {

const QColor kSign(0xC8, 0x8A, 0x1E);

} // namespace

void draw(QPainter& painter, const QRectF& box) {
    QPainterPath triangle;
    triangle.moveTo(box.center().x(), box.top());
    triangle.lineTo(box.right(), box.bottom());
    triangle.lineTo(box.left(), box.bottom());
    triangle.closeSubpath();
    painter.fillPath(triangle, kSign);
    const qreal w = box.width();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(
        QRectF(box.center().x() - w * 0.05, box.top() + w * 0.3, w * 0.1, w * 0.38), w * 0.04,
        w * 0.04);
    painter.drawEllipse(QPointF(box.center().x(), box.top() + w * 0.8), w * 0.06, w * 0.06);
}

QPixmap pixmap(int side, qreal devicePixelRatio) {
    QPixmap sign(QSize(side, side) * devicePixelRatio);
    sign.setDevicePixelRatio(devicePixelRatio);
    sign.fill(Qt::transparent);
    QPainter painter(&sign);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, QRectF(0, side * 0.05, side, side * 0.9));
    return sign;
}

} // namespace WarningSign
