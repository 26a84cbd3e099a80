#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

// widget painted on an opaque backdrop as it would be inside a window, without a window
// background of its own.
inline QImage renderOnBackdrop(QWidget& widget, const QColor& backdrop) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(backdrop);
    QPainter painter(&image);
    widget.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// color painted over the opaque colour below.
inline QColor over(const QColor& color, const QColor& below) {
    const auto mix = [a = color.alphaF()](float top, float under) {
        return top * a + under * (1 - a);
    };
    return QColor::fromRgbF(mix(color.redF(), below.redF()), mix(color.greenF(), below.greenF()),
                            mix(color.blueF(), below.blueF()));
}

inline int channelDistance(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue()), std::abs(a.alpha() - b.alpha())});
}

inline testing::AssertionResult colorNear(const QColor& actual, const QColor& expected,
                                          int tolerance = 1) {
    if (channelDistance(actual, expected) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << actual.name(QColor::HexArgb).toStdString() << " instead of "
           << expected.name(QColor::HexArgb).toStdString();
}

// The pixel of area that differs most from reference: the most covered pixel of a shape or
// text drawn over reference.
inline QColor strongestPixel(const QImage& image, const QRect& area, const QColor& reference) {
    QColor strongest = reference;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (channelDistance(image.pixelColor(x, y), reference) >
                channelDistance(strongest, reference))
                strongest = image.pixelColor(x, y);
    return strongest;
}
