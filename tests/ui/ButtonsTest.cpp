#include "ui/SWSTAnswerButton.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>

#include <string>

namespace {

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
        if (actions > 0 && !clicked.isEmpty()) {
            EXPECT_EQ(clicked.first().first().value<SWSTAnswerButton*>(), &button);
        }
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

} // namespace
