// The styled buttons: every entry of the style table painted in each of its five looks, with
// its icon tinted and drawn at the screen's density; and how input moves a button's state.

#include "ui/ColorHex.h"
#include "ui/ImageTint.h"
#include "ui/RMImage.h"
#include "ui/RMUIConfig.h"
#include "ui/SWSTAnswerButton.h"
#include "ui/SYFlatButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QtMath>

#include <algorithm>
#include <cstdlib>
#include <string>

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

// Painted over a backdrop as inside a window: a background pixel, the border, and the most
// covered pixels of icon and title, which are never invisible.
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

// Plays synthetic input on a button, one letter a step:
// E enter, X leave, P press inside, O drag outside, I drag back inside, R release where the
// pointer is, K Space down, k Space up, D disable, d enable, S select, s deselect.
// Returns the digit of the button's state after each step.
std::string playInput(SWSTAnswerButton& widget, const char* steps) {
    const QPointF inside = QRectF(widget.rect()).center();
    QPointF pointer = inside;
    const auto send = [&](QEvent&& event) { QApplication::sendEvent(&widget, &event); };
    const auto mouse = [&](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
        send(QMouseEvent(type, pointer, widget.mapToGlobal(pointer), button, held, Qt::NoModifier));
    };
    std::string states;
    for (const char* c = steps; *c; ++c) {
        if (*c == 'P' || *c == 'I')
            pointer = inside;
        else if (*c == 'O')
            pointer = QPointF(-20, -20);

        if (*c == 'E')
            send(QEnterEvent(inside, inside, inside));
        else if (*c == 'X')
            send(QEvent(QEvent::Leave));
        else if (*c == 'P')
            mouse(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
        else if (*c == 'O' || *c == 'I')
            mouse(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
        else if (*c == 'R')
            mouse(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
        else if (*c == 'K' || *c == 'k')
            send(QKeyEvent(*c == 'K' ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Space,
                           Qt::NoModifier, " "));
        else if (*c == 'D' || *c == 'd')
            widget.setEnabled(*c == 'd');
        else
            widget.setSelected(*c == 'S');
        states += static_cast<char>('0' + static_cast<int>(widget.buttonState()));
    }
    return states;
}

TEST(StyledButton, InputMovesTheStatesAndSendsTheActionOnTheNextTurnOfTheEventLoop) {
    const struct {
        const char *steps, *statesAfterEachStep;
        int actions;
    } scripts[] = {
        {"EPRX", "1210", 1},       // a click
        {"PR", "21", 1},           // a press proves the pointer is over the button
        {"EPOR", "1200", 0},       // a release after leaving sends nothing
        {"EPOIR", "12011", 1},     // coming back while held counts
        {"SEPRX", "33333", 1},     // selected stays selected and sends
        {"ESs", "130", 0},         // deselected under the pointer shows normal
        {"DEPRKkd", "0000000", 0}, // disabled, it ignores everything
        {"DSdX", "0000", 0},       // selection is ignored while disabled
        {"EDXd", "1100", 0},       // leaving while disabled clears the hover
        {"Kk", "20", 1},           // Space clicks without the pointer
    };
    for (const auto& [steps, statesAfterEachStep, actions] : scripts) {
        SCOPED_TRACE(steps);
        SWSTAnswerButton button;
        button.setConfigKey("Range_Cancel_Btn");
        QSignalSpy clicked(&button, &SWSTAnswerButton::clicked);
        EXPECT_EQ(playInput(button, steps), statesAfterEachStep);
        EXPECT_EQ(clicked.count(), 0); // so that a receiver may disable or delete the button
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        EXPECT_EQ(clicked.count(), actions);
        EXPECT_TRUE(clicked.isEmpty() ||
                    clicked.first().first().value<SWSTAnswerButton*>() == &button);
    }
}

// A button is as wide as its image and title ask, unless its style fixes the size; a centred
// title too wide for a fixed size stops at the button's edge.
TEST(StyledButton, SizeFollowsTheContentUnlessFixed) {
    SWSTAnswerButton button;
    button.setConfigKey("BatchCropBtn");
    EXPECT_EQ(button.size(), button.sizeHint());
    EXPECT_GE(button.titleRect().left(), button.imageRect().right());
    const qreal width = button.buttonSize().width();
    button.setTitle(button.defaulTitle() + " and more");
    EXPECT_GT(button.buttonSize().width(), width);

    button.setConfigKey("Range_Cancel_Btn");
    const QSizeF fixed = button.buttonSize();
    button.setTitle("A title far wider than eighty points");
    EXPECT_EQ(button.buttonSize(), fixed);
    EXPECT_EQ(button.titleRect().left(), 0);
}

// The flat button the design keeps beside the styled ones: its background follows its state.
TEST(FlatButton, PaintsTheBackgroundOfItsState) {
    SYFlatButton button;
    button.resize(60, 30);
    button.setOnAnimateDuration(0);
    button.setOffAnimateDuration(0);
    button.setBackgroundNormalColor(Qt::red);
    button.setBackgroundHighlightColor(Qt::blue);
    const auto centre = [&button] { return button.grab().toImage().pixelColor(30, 15); };
    EXPECT_EQ(centre(), QColor(Qt::red));
    button.setState(1);
    EXPECT_EQ(centre(), QColor(Qt::blue));
    button.setState(0);
    EXPECT_EQ(centre(), QColor(Qt::red));
}

} // namespace
