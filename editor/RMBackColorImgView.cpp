#include "editor/RMBackColorImgView.h"

#include <QPaintEvent>
#include <QPainter>

void RMBackColorImgView::setBackColor(const QColor& color) {
    backColor_ = color;
    update();
}

void RMBackColorImgView::setImage(const QPixmap& image) {
    image_ = image;
    update();
}

void RMBackColorImgView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (backColor_.isValid())
        painter.fillRect(event->rect(), backColor_);
    if (image_.isNull())
        return;
    QSizeF shown = image_.deviceIndependentSize();
    if (shown.width() > width() || shown.height() > height())
        shown.scale(size(), Qt::KeepAspectRatio);
    const QRectF target(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2),
                        shown);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(target, image_, image_.rect());
}
