// Every entry of the style table as a user sees it: a button painted in each of its five looks
// shows that look's colours, and its icon is tinted and drawn at the screen's density.

#include "ui/ColorHex.h"
#include "ui/ImageTint.h"
#include "ui/RMImage.h"
#include "ui/RMUIConfig.h"
#include "ui/SWSTAnswerButton.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cstdlib>

namespace {

QString hex(const QColor& color) {
    return color.name(QColor::HexArgb).toUpper();
}

// color painted over the opaque colour below.
QColor over(const QColor& color, const QColor& below) {
    const auto mix = [a = color.alphaF()](float top, float under) {
        return top * a + under * (1 - a);
    };
    return QColor::fromRgbF(mix(color.redF(), below.redF()), mix(color.greenF(), below.greenF()),
                            mix(color.blueF(), below.blueF()));
}

int channelDistance(const QColor& a, const QColor& b) {
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue()), std::abs(a.alpha() - b.alpha())});
}

testing::AssertionResult colorNear(const QColor& actual, const QColor& expected,
                                   int tolerance = 1) {
    if (channelDistance(actual, expected) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << hex(actual).toStdString() << " instead of " << hex(expected).toStdString();
}

// The pixel of area that differs most from reference: the most covered pixel of a shape or
// text drawn over reference.
QColor strongestPixel(const QImage& image, const QRect& area, const QColor& reference) {
    QColor strongest = reference;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (channelDistance(image.pixelColor(x, y), reference) >
                channelDistance(strongest, reference))
                strongest = image.pixelColor(x, y);
    return strongest;
}

// Each entry's button, painted in each look over a backdrop as inside a window, shows the
// look's colours: a background pixel, the border, and the most covered pixels of icon and
// title, which are never invisible.
TEST(StyleTable, EveryEntrysButtonShowsTheColoursOfEachLook) {
    const QColor backdrop(0x10, 0x20, 0x30);
    const QStringList entries = RMUIConfig::sharedInstance().configDic().keys();
    ASSERT_FALSE(entries.isEmpty());
    for (const QString& entry : entries) {
        SCOPED_TRACE(entry.toStdString());
        SWSTAnswerButton button;
        button.setConfigKey(entry);
        if (button.defaultImage().isNull() && button.defaulTitle().isEmpty())
            button.resize(60, 30); // the bars and the thumbnail parts have no size of their own

        for (int kind = 0; kind < SWSTButtonLook::KindCount; ++kind) {
            SCOPED_TRACE(kind);
            const SWSTButtonLook& look = button.look(SWSTButtonLook::Kind(kind));
            if (!look.image.isNull()) {
                // Drawn at twice the density, the icon is rendered at that size, not scaled up.
                QImage surface(44, 44, QImage::Format_ARGB32_Premultiplied);
                surface.setDevicePixelRatio(2);
                surface.fill(Qt::transparent);
                QPainter painter(&surface);
                look.image.draw(painter, QRectF(0, 0, 22, 22));
                painter.end();
                EXPECT_EQ(surface, look.image.toImage(QSizeF(22, 22), 2));
            }

            if (kind == SWSTButtonLook::Disabled)
                button.setEnabled(false);
            else
                button.setButtonState(SWSTAnswerButton::ButtonState(kind));
            EXPECT_EQ(button.defaultImage(), look.image); // the disabled one wins over the state
            QImage shot(button.size(), QImage::Format_ARGB32_Premultiplied);
            shot.fill(backdrop);
            QPainter painter(&shot);
            button.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
            painter.end();
            const QColor background = over(look.backgroundColor, backdrop);
            // At mid-height near the right edge, inside the border, unless image or title is there.
            const QPoint probe(button.width() - 2 - qCeil(look.borderWidth), button.height() / 2);
            const QPointF centre = QPointF(probe) + QPointF(0.5, 0.5);
            if (!button.imageRect().contains(centre) && !button.titleRect().contains(centre)) {
                EXPECT_TRUE(colorNear(shot.pixelColor(probe), background));
            }
            if (button.hasBorder() && look.borderWidth >= 1) {
                EXPECT_TRUE(colorNear(shot.pixelColor(button.width() / 2, 0),
                                      over(look.borderColor, background)));
            }
            if (!button.defaultImage().isNull()) {
                EXPECT_TRUE(colorNear(strongestPixel(shot, button.imageRect().toRect(), background),
                                      over(look.imageColor, background), 2));
            }
            if (!button.defaulTitle().isEmpty()) {
                const QRect title = button.titleRect().toAlignedRect() & shot.rect();
                EXPECT_TRUE(colorNear(strongestPixel(shot, title, background),
                                      over(look.titleColor, background), 8));
            }
        }
    }
}

TEST(PackedColours, AnRGBColourIsOpaqueWhateverTheTopByte) {
    EXPECT_EQ(ColorHex::colorWithRGB(0x12D0D0D0).rgba(), 0xFFD0D0D0u);
}

TEST(Tinting, KeepsAlphaAndTakesTheColour) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixelColor(0, 0, QColor(0, 0, 255));
    image.setPixelColor(1, 0, QColor(0, 0, 255, 128));
    const auto tinted = [&](const QColor& tint) {
        return tintColor(image, tint).convertToFormat(QImage::Format_ARGB32);
    };
    EXPECT_EQ(tinted(Qt::red).pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(tinted(Qt::red).pixelColor(1, 0), QColor(255, 0, 0, 128));
}

} // namespace
