#include "ui/TagDeleteButton.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Logical pixels: the × fills a square of this side, less a margin on every side.
constexpr double kCrossSide = 8;
constexpr double kCrossMargin = 1;
const QColor kCrossColor(96, 96, 96);
const QColor kActiveCrossColor(32, 32, 32);

// The × in a square image of side logical pixels at ratio: a pixel is inked when it lies on
// either diagonal, within a band about one logical pixel wide. The bands are symmetric about
// the diagonals (an odd number of pixels across a row), so both strokes look the same and
// meet in the middle.
QImage crossImage(qreal ratio, const QColor& color) {
    const int side = std::max(1, int(std::lround(kCrossSide * ratio)));
    const int margin = int(std::lround(kCrossMargin * ratio));
    // Half the run of a band along a row, less its middle pixel: 0 at 1x, 1 at 2x.
    const int halfRun = std::max(0, int(std::lround((ratio * std::sqrt(2.0) - 1) / 2)));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    const QRgb ink = color.rgba();
    for (int y = margin; y < side - margin; ++y) {
        for (int x = margin; x < side - margin; ++x) {
            if (std::abs(x - y) <= halfRun || std::abs(x + y - (side - 1)) <= halfRun)
                image.setPixel(x, y, ink);
        }
    }
    return image;
}

} // namespace

TagDeleteButton::TagDeleteButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
}

void TagDeleteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The device painted on, not the widget: an image rendered at another ratio than the
    // screen's gets its own pixels.
    const qreal ratio = painter.paintEngine()->paintDevice()->devicePixelRatioF();
    const bool active = isDown() || underMouse();
    const QImage cross = crossImage(ratio, active ? kActiveCrossColor : kCrossColor);
    const QSizeF size(kCrossSide, kCrossSide);
    // On whole logical pixels, so that the image's pixels fall on the device's.
    const QPointF corner((width() - size.width()) / 2, (height() - size.height()) / 2);
    painter.drawImage(QRectF(QPointF(std::floor(corner.x()), std::floor(corner.y())), size), cross);
}
