#include "tests/render/PixelAssertions.h"

#include <QPoint>
#include <QString>

#include <array>

namespace {

// Edge pixels are anti-aliased grey; every probe stays this far from an edge.
constexpr int kMargin = 3;

bool isDark(QRgb pixel) {
    return qGray(pixel) < 64;
}

bool isWhite(QRgb pixel) {
    return qGray(pixel) > 240;
}

QString describe(QPoint p, QRgb pixel) {
    return QStringLiteral("(%1, %2) = #%3").arg(p.x()).arg(p.y()).arg(pixel & 0xffffff, 6, 16);
}

} // namespace

testing::AssertionResult showsSquareIn(const QImage& image, Corner corner, int side) {
    const bool left = corner == Corner::TopLeft || corner == Corner::BottomLeft;
    const bool top = corner == Corner::TopLeft || corner == Corner::TopRight;
    const int w = image.width();
    const int h = image.height();
    // Unit steps from the square's corner towards the middle of the image.
    const int dx = left ? 1 : -1;
    const int dy = top ? 1 : -1;
    const QPoint origin(left ? 0 : w - 1, top ? 0 : h - 1);
    const QPoint inside = origin + QPoint(dx, dy) * (side / 2);
    const std::array<QPoint, 6> outside = {
        inside + QPoint(dx * (side / 2 + kMargin), 0),
        inside + QPoint(0, dy * (side / 2 + kMargin)),
        QPoint(w - 1 - origin.x(), origin.y()) + QPoint(-dx, dy) * kMargin,
        QPoint(origin.x(), h - 1 - origin.y()) + QPoint(dx, -dy) * kMargin,
        QPoint(w - 1 - origin.x(), h - 1 - origin.y()) + QPoint(-dx, -dy) * kMargin,
        QPoint(w / 2, h / 2),
    };

    if (image.isNull())
        return testing::AssertionFailure() << "the image is null";
    if (!isDark(image.pixel(inside)))
        return testing::AssertionFailure()
               << "no square at " << describe(inside, image.pixel(inside)).toStdString();
    for (const QPoint p : outside) {
        if (!isWhite(image.pixel(p)))
            return testing::AssertionFailure()
                   << "not white at " << describe(p, image.pixel(p)).toStdString();
    }
    return testing::AssertionSuccess();
}

testing::AssertionResult isBlank(const QImage& image) {
    if (image.isNull())
        return testing::AssertionFailure() << "the image is null";
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!isWhite(image.pixel(x, y)))
                return testing::AssertionFailure()
                       << "not white at " << describe({x, y}, image.pixel(x, y)).toStdString();
        }
    }
    return testing::AssertionSuccess();
}
