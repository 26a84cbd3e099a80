#include "ui/ImageTint.h"

#include <QPainter>

QImage tintColor(const QImage& image, const QColor& color) {
    QImage tinted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (tinted.isNull())
        return tinted;
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(QRectF(QPointF(0, 0), tinted.deviceIndependentSize()), color);
    return tinted;
}
