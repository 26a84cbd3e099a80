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

TEST(StyleTable, ButtonsTakeEveryCellOfTheirEntryAndThereAreNoOtherEntries) {
    QStringList names;
    for (const QString& line : QString::fromUtf8(kDesignTable).split('\n', Qt::SkipEmptyParts)) {
        QStringList row = line.split('|').mid(1);
        for (QString& cell : row)
            cell = cell.trimmed();
        names << quoted(row[0]);
        SCOPED_TRACE(names.last().toStdString());
        SWSTAnswerButton button;
        button.setConfigKey(names.last());

        EXPECT_EQ(button.hasBorder(), row[1] == "yes");
        // Columns 2 to 7, each as its five looks.
        QList<QStringList> looks(6);
        for (int k = 0; k < SWSTButtonLook::KindCount; ++k) {
            const SWSTButtonLook& look = button.look(SWSTButtonLook::Kind(k));
            looks[0] << QString::number(look.cornerRadius);
            looks[1] << QString::number(look.borderWidth);
            looks[2] << hex(look.borderColor);
            looks[3] << hex(look.titleColor);
            looks[4] << hex(look.imageColor);
            looks[5] << hex(look.backgroundColor);
            EXPECT_EQ(look.image.name(), quoted(row[8]));
            if (!look.image.isNull()) {
                EXPECT_EQ(look.image.tints(), QList<QColor>{look.imageColor});
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
        // A size is in pixels, in the application's family and weight; without one the font is
        // the application's own.
        const QFont font = button.font();
        if (const int pixels = int(numbers(row[10], "(\\d+) pt")[0])) {
            EXPECT_EQ(font.pixelSize(), pixels);
            EXPECT_EQ(font.family(), QApplication::font().family());
            EXPECT_EQ(font.weight(), QFont::Normal);
        } else {
            EXPECT_EQ(font, QApplication::font());
        }
    }
    names.sort();
    EXPECT_EQ(RMUIConfig::sharedInstance().configDic().keys(), names);
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

// Every entry in every look, painted over a backdrop as inside a window: a background pixel, the
// border and the most covered pixels of icon and title show the look's colours.
TEST(StyleTable, EveryEntryInEveryLookShowsItsColours) {
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

TEST(StyleTable, UnknownEntryClearsTheLooksButKeepsTheImages) {
    SWSTAnswerButton button;
    button.setConfigKey("CustomCropBtn");
    const RMImage image = button.look(SWSTButtonLook::Hover).image;
    button.setConfigKey("NoSuchEntry");
    const SWSTButtonLook& cleared = button.look(SWSTButtonLook::Hover);
    EXPECT_EQ(cleared.cornerRadius, 0);
    EXPECT_EQ(cleared.backgroundColor.rgba(), 0u);
    EXPECT_EQ(cleared.image, image);
    EXPECT_EQ(button.btnInsects(), QMarginsF());
    EXPECT_EQ(button.defaulTitle(), QString());
    EXPECT_EQ(button.font(), QApplication::font());
}

TEST(StyleTable, ChangedImageKeepsTheLookTints) {
    SWSTAnswerButton button;
    button.setConfigKey("OpenPanel_Edit_Btn");
    RMUIConfig::sharedInstance().changeBtn(&button, "not_edit");
    const QColor light(0xD0, 0xD0, 0xD0), dim(0x6A, 0x68, 0x6B);
    for (int k = 0; k < SWSTButtonLook::KindCount; ++k) {
        const RMImage& image = button.look(static_cast<SWSTButtonLook::Kind>(k)).image;
        EXPECT_EQ(image.name(), "not_edit");
        EXPECT_EQ(image.tints(), QList<QColor>{k == SWSTButtonLook::Disabled ? dim : light});
    }
    EXPECT_EQ(button.defaultImage(), button.look(SWSTButtonLook::Normal).image);
}

} // namespace
