#include "ui/RMUIConfig.h"
#include "ui/SWSTAnswerButton.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cstdlib>

namespace {

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
           << actual.name(QColor::HexArgb).toStdString() << " instead of "
           << expected.name(QColor::HexArgb).toStdString();
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

// Every entry in every look, painted over a backdrop as inside a window: a background pixel, the
// border and the most covered pixels of icon and title show the look's colours.
TEST(StyledButtonScreenshot, EveryEntryInEveryLookShowsItsColours) {
    const QColor backdrop(0x10, 0x20, 0x30);
    for (const QString& entry : RMUIConfig::sharedInstance().configDic().keys()) {
        for (int kind = 0; kind < SWSTButtonLook::KindCount; ++kind) {
            SCOPED_TRACE(QString("%1, look %2").arg(entry).arg(kind).toStdString());
            SWSTAnswerButton button;
            button.setConfigKey(entry);
            if (button.defaultImage().isNull() && button.defaulTitle().isEmpty())
                button.resize(60, 30); // the bars and the thumbnail parts have no size of their own
            if (kind == SWSTButtonLook::Disabled)
                button.setEnabled(false);
            else
                button.setButtonState(SWSTAnswerButton::ButtonState(kind));
            QImage shot(button.size(), QImage::Format_ARGB32_Premultiplied);
            shot.fill(backdrop);
            QPainter painter(&shot);
            button.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
            painter.end();
            const SWSTButtonLook& look = button.look(SWSTButtonLook::Kind(kind));
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

} // namespace
