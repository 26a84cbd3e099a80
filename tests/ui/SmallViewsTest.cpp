#include "ui/ColorHex.h"
#include "ui/ImageTint.h"
#include "ui/RMImage.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>

namespace {

using namespace ColorHex;

// The style table's colours are checked through the buttons; here, what the table does not show.
TEST(PackedColours, ChannelsComeFromTheirBytes) {
    EXPECT_EQ(colorWithRGB(0x12D0D0D0).rgba(), 0xFFD0D0D0u); // opaque whatever the top byte
    // Every byte comes back unchanged, whichever way the colour was made.
    for (quint32 b = 0; b < 256; ++b) {
        const quint32 argb = (b << 24) | (b << 16) | ((255 - b) << 8) | (b ^ 0x5A);
        ASSERT_EQ(colorWithRGBA(argb).rgba(), argb);
        ASSERT_EQ(colorWithRGBA(argb), colorWithRGB(argb, colorWithRGBA(argb).alphaF()));
    }
}

TEST(Tinting, KeepsAlphaAndTakesTheColourByItsAlpha) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixelColor(0, 0, QColor(0, 0, 255));
    image.setPixelColor(1, 0, QColor(0, 0, 255, 128));
    const auto tinted = [&](const QColor& tint) {
        return tintColor(image, tint).convertToFormat(QImage::Format_ARGB32);
    };
    EXPECT_EQ(tinted(Qt::red).pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(tinted(Qt::red).pixelColor(1, 0), QColor(255, 0, 0, 128));
    EXPECT_EQ(tinted(Qt::transparent), image);
    EXPECT_EQ(tinted(QColor(255, 0, 0, 128)).pixelColor(0, 0), QColor(128, 0, 127));
}

TEST(Icons, ExistAndRenderSharpAtTheDevicePixelRatio) {
    for (const char* name :
         {"custom_crop", "batch_crop", "page_range", "first_page", "previous_page", "next_page",
          "last_page", "edit", "not_edit", "clear", "delete"}) {
        SCOPED_TRACE(name);
        const RMImage icon = RMImage::named(name).tinted(Qt::white);
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.size(), QSizeF(22, 22));
        // Drawn into a 2x surface, the icon is rendered at 44 pixels, not scaled up from 22.
        QImage surface(44, 44, QImage::Format_ARGB32_Premultiplied);
        surface.setDevicePixelRatio(2);
        surface.fill(Qt::transparent);
        QPainter painter(&surface);
        icon.draw(painter, QRectF(0, 0, 22, 22));
        painter.end();
        const QImage direct = icon.toImage(QSizeF(22, 22), 2);
        EXPECT_EQ(surface, direct);
        // A solid single-colour shape, not a hairline.
        const QImage argb = direct.convertToFormat(QImage::Format_ARGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(argb.constBits());
        EXPECT_GT(std::count(pixels, pixels + 44 * 44, qRgb(255, 255, 255)), 100);
    }
}

} // namespace
