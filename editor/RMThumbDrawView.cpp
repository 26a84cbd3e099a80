#include "editor/RMThumbDrawView.h"

#include <QPainter>

void RMThumbDrawView::setCropRect(const QRectF& rect) {
    cropRect_ = rect;
    update();
}

void RMThumbDrawView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRectF(cropRect_.x(), height() - cropRect_.y() - cropRect_.height(),
                            cropRect_.width(), cropRect_.height()),
                     Qt::green);
}
