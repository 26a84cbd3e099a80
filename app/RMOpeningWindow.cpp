#include "app/RMOpeningWindow.h"

#include "platform/WindowCascade.h"

#include <QPainter>

namespace {

const QColor kBackground(0x1e, 0x1e, 0x1e);
const QColor kText(0xb8, 0xb8, 0xb8);
// The size the editing window opens at on a large screen; smaller screens get less.
const QSize kWindowSize(1000, 780);
// Where the editing window shows the page: right of its thumbnail strip, between its top and
// bottom bars, so the first page does not jump when that window takes this one's place.
constexpr int kStripWidth = 190;
constexpr int kTop = 90;
constexpr int kBottom = 90;

} // namespace

RMOpeningWindow::RMOpeningWindow(const QString& name, QWidget* parent) : QWidget(parent) {
    setWindowTitle(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    WindowCascade::fitAndPlace(*this, kWindowSize);
}

QSize RMOpeningWindow::previewArea() const {
    return size() - QSize(kStripWidth + 24, kTop + kBottom);
}

void RMOpeningWindow::setPreview(const QImage& image) {
    preview_ = image;
    update();
}

void RMOpeningWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setPen(kText);
    QFont font = painter.font();
    font.setPixelSize(13);
    painter.setFont(font);
    const QRect caption(kStripWidth, height() - kBottom / 2 - 12, width() - kStripWidth, 24);
    painter.drawText(caption, Qt::AlignCenter, tr("Opening…"));
    if (preview_.isNull())
        return;
    const QSizeF shown = preview_.deviceIndependentSize();
    const QRectF page(QPointF(kStripWidth + (width() - kStripWidth - shown.width()) / 2, kTop),
                      shown);
    painter.drawImage(page, preview_);
}
