#include "app/RMOpeningWindow.h"

#include <QPainter>
#include <QScreen>

namespace {

const QColor kBackground(0x1e, 0x1e, 0x1e);
const QColor kText(0xb8, 0xb8, 0xb8);
// The size the editing window opens at on a large screen; smaller screens get less.
const QSize kWindowSize(1000, 780);
constexpr int kMargin = 48;

} // namespace

RMOpeningWindow::RMOpeningWindow(const QString& name, QWidget* parent) : QWidget(parent) {
    setWindowTitle(name);
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QRect available = screen()->availableGeometry();
    resize(kWindowSize.boundedTo(available.size() - QSize(32, 64)));
    move(available.center() - rect().center());
}

QSize RMOpeningWindow::previewArea() const {
    return size() - QSize(2 * kMargin, 2 * kMargin + 24);
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
    const QRect caption(0, height() - kMargin - 12, width(), 24);
    painter.drawText(caption, Qt::AlignCenter, tr("Opening…"));
    if (preview_.isNull())
        return;
    const QSizeF shown = preview_.deviceIndependentSize();
    const QRectF page(QPointF((width() - shown.width()) / 2, kMargin), shown);
    painter.drawImage(page, preview_);
}
