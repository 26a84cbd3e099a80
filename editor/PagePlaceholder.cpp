#include "editor/PagePlaceholder.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

const QColor kPage(0xEE, 0xEE, 0xEE);
const QColor kSign(0xC8, 0x8A, 0x1E);
const QColor kText(0x55, 0x55, 0x55);
// Below this width (in points) only the sign is drawn: a thumbnail has no room for words.
constexpr qreal kWordsMinWidth = 200;

void drawSign(QPainter& painter, const QRectF& box) {
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

} // namespace

QImage PagePlaceholder::image(const QSize& pixelSize, qreal devicePixelRatio,
                              const QString& reason) {
    QImage image(pixelSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(kPage);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSizeF size = QSizeF(image.size()) / devicePixelRatio;
    const qreal side = std::clamp(std::min(size.width(), size.height()) * 0.18, 8.0, 64.0);
    const bool words = size.width() >= kWordsMinWidth;
    const qreal top = words ? size.height() * 0.35 - side : (size.height() - side) / 2;
    drawSign(painter, QRectF((size.width() - side) / 2, top, side, side * 0.9));
    if (!words)
        return image;

    QFont font = painter.font();
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(kText);
    const QRectF text(size.width() * 0.1, top + side + 16, size.width() * 0.8, size.height() / 2);
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     QCoreApplication::translate("PagePlaceholder", "This page cannot be shown"));
    font.setPixelSize(12);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(text.adjusted(0, 28, 0, 0), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     reason);
    return image;
}
