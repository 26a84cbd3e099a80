#include "ui/ColorHex.h"
#include "ui/ImageTint.h"
#include "ui/RMImage.h"
#include "ui/RMUIConfig.h"
#include "ui/SWSTAnswerButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <QtMath>

#include <algorithm>
#include <cstdlib>

namespace {

// The style table as the design lists it, one row per entry. Columns: entry, border, corner
// radius, border width, border colour, title colour, image colour, background colour, image,
// layout, title. A per-look cell holds one value for all five looks, "v; disabled d", or the
// five values Normal / Hover / Highlight / Selected / Disabled; a dash is an attribute the
// entry does not carry, which reads as zero.
const char* const kDesignTable = R"(
| "CustomCropBtn" | no | 6 | 0 | — | #FFD0D0D0; disabled #FF686868 | #FFD0D0D0; disabled #FF686868 | #00FFFFFF / #14FFFFFF / #28FFFFFF / #38FFFFFF / #00FFFFFF | "custom_crop"; 20×20; space 2; baseline 0 | insets 4,8,4,8 | "Custom Crop"; 12 pt |
| "BatchCropBtn" | no | 6 | 0 | — | #FFD0D0D0; disabled #FF686868 | #FFD0D0D0; disabled #FF686868 | #00FFFFFF / #14FFFFFF / #28FFFFFF / #38FFFFFF / #00FFFFFF | "batch_crop"; 20×20; space 2; baseline 0 | insets 4,8,4,8 | "Batch Crop"; 12 pt |
| "PageRangeBtn" | no | 6 | 0 | — | #FFD0D0D0; disabled #FF686868 | #FFD0D0D0; disabled #FF686868 | #00FFFFFF / #14FFFFFF / #28FFFFFF / #38FFFFFF / #00FFFFFF | "page_range"; 20×20; space 2; baseline 0 | insets 4,8,4,8 | "Page Range"; 12 pt |
| "FitContentBtn" | no | 6 | 0 | — | #FFD0D0D0; disabled #FF686868 | #FFD0D0D0; disabled #FF686868 | #00FFFFFF / #14FFFFFF / #28FFFFFF / #38FFFFFF / #00FFFFFF | "fit_content"; 20×20; space 2; baseline 0 | insets 4,8,4,8 | "Fit to Content"; 12 pt |
| "TopBar" | yes | 0 | 1 | #FF444444 | — | — | #FF2F2F2F | — | — | — |
| "BottomBar" | yes | 23 | 1 | #FF444444 | — | — | #FF2F2F2F | — | — | — |
| "BottomBarIn" | yes | 3 | 1 | #FF434343 | — | — | #FF191919 | — | — | — |
| "FirstPageBtn" | no | 2 | 0 | — | — | #FFD0D0D0; disabled #FF6A686B | #00FFFFFF / #14FFFFFF / #28FFFFFF / #00FFFFFF / #00FFFFFF | "first_page"; 22×22; baseline 0 | insets 2,2,2,2 | — |
| "PreviousPageBtn" | no | 2 | 0 | — | — | #FFD0D0D0; disabled #FF6A686B | #00FFFFFF / #14FFFFFF / #28FFFFFF / #00FFFFFF / #00FFFFFF | "previous_page"; 22×22; baseline 0 | insets 2,2,2,2 | — |
| "NextPageBtn" | no | 2 | 0 | — | — | #FFD0D0D0; disabled #FF6A686B | #00FFFFFF / #14FFFFFF / #28FFFFFF / #00FFFFFF / #00FFFFFF | "next_page"; 22×22; baseline 0 | insets 2,2,2,2 | — |
| "LastPageBtn" | no | 2 | 0 | — | — | #FFD0D0D0; disabled #FF6A686B | #00FFFFFF / #14FFFFFF / #28FFFFFF / #00FFFFFF / #00FFFFFF | "last_page"; 22×22; baseline 0 | insets 2,2,2,2 | — |
| "ThumbPageLabel" | no | 4 | 0 | — | #FFFFFFFF | — | #00000000 / #00000000 / #00000000 / #FF6477F7 / #00000000 | — | insets 2,5,2,5 | 12 pt |
| "ThumbBackView" | no | 4 | 0 | — | #FFFFFFFF | — | #00000000 / #00000000 / #FF6477F7 / #FF6477F7 / #00000000 | — | insets 2,5,2,5 | — |
| "Range_Not_Custom_Btn" | yes | 11 | 1 / 0 / 0 / 0 / 0 | #FF616161 / #00000000 / #00000000 / #00000000 / #00000000 | #FFFFFFFF / #FFFFFFFF / #FFFFFFFF / #FF000000 / #FFFFFFFF | — | #00000000 / #FF181818 / #FF6477F7 / #FF6477F7 / #00000000 | — | size 180×22; centred | 11 pt |
| "Range_Add_Btn" | no | 6 | 0 | #FF616161 / #00000000 / #00000000 / #00000000 / #00000000 | #FF000000 | — | #FF6477F7 / #FF7384F7 / #FF374EE8 / #FF6477F7 / #FF6477F7 | — | size 28×28; centred | "+"; 16 pt |
| "Range_Cancel_Btn" | yes | 14 | 1 / 0 / 0 / 0 / 0 | #FF616161 / #00000000 / #00000000 / #00000000 / #00000000 | #FFFFFFFF / #FFFFFFFF / #FFFFFFFF / #FF000000 / #FFFFFFFF | — | #00000000 / #FF181818 / #FF6477F7 / #FF6477F7 / #00000000 | — | size 80×28; centred | "Cancel"; 13 pt |
| "Range_Done_Btn" | no | 14 | 0 | #FF616161 / #00000000 / #00000000 / #00000000 / #00000000 | #FF000000; disabled #FF3D3E3E | — | #FF6477F7 / #FF7384F7 / #FF374EE8 / #FF6477F7 / #FF2C2C2C | — | size 80×28; centred | "Done"; 13 pt |
| "Setting_Range_Btn" | no | — | — | — | #FFD0D0D0 / #FF6079F8 / #FF6079F8 / #FFFEFEFF / #FF686868 | — | — | — | centred | "Page Range"; 13 pt |
| "Setting_Output_Btn" | no | — | — | — | #FFD0D0D0 / #FF6079F8 / #FF6079F8 / #FFFEFEFF / #FF686868 | — | — | — | centred | "Output"; 13 pt |
| "Setting_Encrypt_Btn" | no | — | — | — | #FFD0D0D0 / #FF6079F8 / #FF6079F8 / #FFFEFEFF / #FF686868 | — | — | — | centred | "Encrypt"; 13 pt |
| "MainPanel_Save_Btn" | no | 16 | — | — | #FFFFFFFF; disabled #FF3D3E3E | — | #FF6477F7 / #FF7384F7 / #FF374EE8 / #FF6477F7 / #FF2C2C2C | — | size 180×32; centred | "Done"; 16 pt |
| "MainPanel_Cancel_Btn" | yes | 16 | 1 | #FF454444 / #00000000 / #00000000 / #00000000 / #FF454444 | #FFFFFFFF; disabled #FF3D3E3E | — | #FF2C2B2C / #FF171818 / #FF444444 / #FF2C2B2C / #FF2C2C2C | — | size 180×32; centred | "Revert All"; 16 pt |
| "Decrypt_Cancel_Btn" | yes | 14 | 1 / 0 / 0 / 0 / 0 | #FF616161 / #00000000 / #00000000 / #00000000 / #00000000 | #FFFFFFFF / #FFFFFFFF / #FFFFFFFF / #FF000000 / #FFFFFFFF | — | #00000000 / #FF181818 / #FF6477F7 / #FF6477F7 / #00000000 | — | size 120×28; centred | "Cancel"; 13 pt |
| "Decrypt_Done_Btn" | no | 14 | 0 | #FF616161 / #00000000 / #00000000 / #00000000 / #00000000 | #FF000000 | — | #FF6477F7 / #FF7384F7 / #FF374EE8 / #FF6477F7 / #FF6477F7 | — | size 120×28; centred | "Done"; 13 pt |
| "OpenPanel_Save_Btn" | no | 16 | — | — | #FFFFFFFF; disabled #FF3D3E3E | — | #FF6477F7 / #FF7384F7 / #FF374EE8 / #FF6477F7 / #FF2C2C2C | — | size 180×32; centred | "Open"; 16 pt |
| "OpenPanel_Edit_Btn" | no | 2 | 0 | — | — | #FFD0D0D0; disabled #FF6A686B | #00FFFFFF / #14FFFFFF / #28FFFFFF / #00FFFFFF / #00FFFFFF | "edit"; 22×22; baseline 0 | insets 2,2,2,2 | — |
| "OpenPanel_Clear_Btn" | no | 2 | 0 | — | — | #FFD0D0D0; disabled #FF6A686B | #00FFFFFF / #14FFFFFF / #28FFFFFF / #00FFFFFF / #00FFFFFF | "clear"; 22×22; baseline 0 | insets 2,2,2,2 | — |
| "OpenPanel_Delete_Btn" | no | 2 | 0 | — | — | #FFD0D0D0; disabled #FF6A686B | #00FFFFFF / #14FFFFFF / #28FFFFFF / #00FFFFFF / #00FFFFFF | "delete"; 22×22; baseline 0 | insets 2,2,2,2 | — |
)";

// The five texts of a per-look cell, a dash reading as zero.
QStringList perLook(const QString& cell, const QString& zero) {
    if (cell == "—")
        return QStringList(5, zero);
    const QStringList five = cell.split(" / ");
    const QStringList pair = cell.split("; disabled ");
    return five.size() == 5 ? five : QStringList(4, pair[0]) << pair.last();
}

// The captures of pattern in cell, as numbers; zeros when it does not match.
QList<qreal> numbers(const QString& cell, const QString& pattern) {
    const QRegularExpression expression(pattern);
    const QRegularExpressionMatch match = expression.match(cell);
    QList<qreal> result;
    for (int i = 1; i <= expression.captureCount(); ++i)
        result << match.captured(i).toDouble();
    return result;
}

QString quoted(const QString& cell) {
    return QRegularExpression("\"([^\"]*)\"").match(cell).captured(1);
}

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

// Each entry's button carries every cell of its row and, painted in each look over a backdrop
// as inside a window, shows the look's colours: a background pixel, the border, and the most
// covered pixels of icon and title. There are no other entries.
TEST(StyleTable, ButtonsTakeAndShowEveryCellOfTheirEntry) {
    const QColor backdrop(0x10, 0x20, 0x30);
    QStringList names;
    for (const QString& line : QString::fromUtf8(kDesignTable).split('\n', Qt::SkipEmptyParts)) {
        QStringList row = line.split('|').mid(1);
        for (QString& cell : row)
            cell = cell.trimmed();
        names << quoted(row[0]);
        SCOPED_TRACE(names.last().toStdString());
        SWSTAnswerButton button;
        button.setConfigKey(names.last());
        if (button.defaultImage().isNull() && button.defaulTitle().isEmpty())
            button.resize(60, 30); // the bars and the thumbnail parts have no size of their own

        EXPECT_EQ(button.hasBorder(), row[1] == "yes");
        // Columns 2 to 7, each as its five looks.
        QList<QStringList> looks(6);
        for (int kind = 0; kind < SWSTButtonLook::KindCount; ++kind) {
            SCOPED_TRACE(kind);
            const SWSTButtonLook& look = button.look(SWSTButtonLook::Kind(kind));
            looks[0] << QString::number(look.cornerRadius);
            looks[1] << QString::number(look.borderWidth);
            looks[2] << hex(look.borderColor);
            looks[3] << hex(look.titleColor);
            looks[4] << hex(look.imageColor);
            looks[5] << hex(look.backgroundColor);
            EXPECT_EQ(look.image.name(), quoted(row[8]));
            if (!look.image.isNull()) {
                EXPECT_EQ(look.image.tints(), QList<QColor>{look.imageColor});
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
        for (int column = 2; column <= 7; ++column)
            EXPECT_EQ(looks[column - 2], perLook(row[column], column < 4 ? "0" : "#00000000"))
                << "column " << column;

        const auto image = numbers(row[8], "(\\d+)×(\\d+)");
        EXPECT_EQ(button.imageSize(), QSizeF(image[0], image[1]));
        EXPECT_EQ(button.space(), numbers(row[8], "space (\\d+)")[0]);
        EXPECT_EQ(button.imageBaselineMove(), 0);
        const auto insets = numbers(row[9], "insets (\\d+),(\\d+),(\\d+),(\\d+)");
        EXPECT_EQ(button.btnInsects(), QMarginsF(insets[1], insets[0], insets[3], insets[2]));
        const auto size = numbers(row[9], "size (\\d+)×(\\d+)");
        EXPECT_EQ(button.btnSize(), QSizeF(size[0], size[1]));
        EXPECT_EQ(button.isTitleCenter(), row[9].contains("centred"));
        EXPECT_EQ(button.defaulTitle(), quoted(row[10]));
        // A size is in pixels, in the application's font; without one the font is the
        // application's own.
        QFont font = QApplication::font();
        if (const int pixels = int(numbers(row[10], "(\\d+) pt")[0]))
            font.setPixelSize(pixels);
        EXPECT_EQ(button.font(), font);
    }
    names.sort();
    EXPECT_EQ(RMUIConfig::sharedInstance().configDic().keys(), names);
}

// The style table's colours are checked through the buttons; here, what the table does not show.
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
