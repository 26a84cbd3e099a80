#include "PlayInput.h"

#include "ui/SWSTAnswerButton.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>

namespace {

struct Script {
    const char* name;
    const char* steps; // playInput() letters, plus S select and s deselect
    const char* statesAfterEachStep;
    int actions;
};

class StyledButtonEvents : public testing::TestWithParam<Script> {};

TEST_P(StyledButtonEvents, MoveStatesAndSendTheAction) {
    const Script& script = GetParam();
    SWSTAnswerButton button;
    button.setConfigKey("Range_Cancel_Btn");
    QSignalSpy clicked(&button, &SWSTAnswerButton::clicked);
    EXPECT_EQ(playInput(
                  button, script.steps, [&] { return static_cast<int>(button.buttonState()); },
                  [&](char c) { button.setSelected(c == 'S'); }),
              script.statesAfterEachStep);
    // Never inside the event handling: only on the next turn of the event loop.
    EXPECT_EQ(clicked.count(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    ASSERT_EQ(clicked.count(), script.actions);
    if (script.actions > 0) {
        EXPECT_EQ(clicked.first().first().value<SWSTAnswerButton*>(), &button);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, StyledButtonEvents,
    testing::Values(Script{"Click", "EPRX", "1210", 1},
                    Script{"PressWithoutEnterStillCounts", "PR", "21", 1},
                    Script{"LeavingWhileHeldCancels", "EPOR", "1200", 0},
                    Script{"ComingBackWhileHeldCounts", "EPOIR", "12011", 1},
                    Script{"SelectedStaysSelectedAndSends", "SEPRX", "33333", 1},
                    Script{"DeselectUnderPointerShowsNormal", "ESs", "130", 0},
                    Script{"DisabledIgnoresEverything", "DEPRKkd", "0000000", 0},
                    Script{"SelectionIgnoredWhileDisabled", "DSdX", "0000", 0},
                    Script{"LeavingWhileDisabledClearsHover", "EDXd", "1100", 0},
                    Script{"SpaceClicksWithoutPointer", "Kk", "20", 1}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(StyledButton, DisabledLookWinsAndImagesFollowTheLook) {
    SWSTAnswerButton button;
    button.setConfigKey("FirstPageBtn");
    button.setButtonState(SWSTAnswerButton::ButtonState::Hover);
    button.setEnabled(false);
    EXPECT_EQ(button.defaultImage(), button.look(SWSTButtonLook::Disabled).image);
    button.setEnabled(true);
    EXPECT_EQ(button.defaultImage(), button.look(SWSTButtonLook::Hover).image);

    // Without a disabled image of its own, a button with images shows none while disabled.
    button.setLook(SWSTButtonLook::Disabled, SWSTButtonLook());
    button.setEnabled(false);
    EXPECT_TRUE(button.defaultImage().isNull());
    EXPECT_TRUE(button.imageRect().isNull());
}

TEST(StyledButton, SizeFromContentCountsImageSizeAndSpace) {
    SWSTAnswerButton button;
    button.setConfigKey("BatchCropBtn"); // insets 4,8,4,8, image 20 x 20, space 2
    const qreal titleWidth = button.titleSize().width();
    ASSERT_LT(button.titleSize().height(), 20);
    EXPECT_EQ(button.buttonSize(), QSizeF(8 + 20 + 2 + titleWidth + 8, 28));
    EXPECT_EQ(button.size(), button.sizeHint());
    EXPECT_EQ(button.imageRect(), QRectF(8, 4, 20, 20));
    EXPECT_EQ(button.titleRect().left(), 30);

    // Without an image the image size still counts, the space does not.
    button.setDefaultImage(RMImage());
    EXPECT_EQ(button.buttonSize().width(), 8 + 20 + titleWidth + 8);
}

TEST(StyledButton, FixedSizeWinsAndOnlyACentredTitleStopsAtTheEdge) {
    SWSTAnswerButton button;
    button.setConfigKey("Range_Cancel_Btn"); // 80 x 28, centred
    button.setTitle("A title far wider than eighty points");
    EXPECT_EQ(button.buttonSize(), QSizeF(80, 28));
    EXPECT_EQ(button.titleRect().topLeft(), QPointF(0, (28 - button.titleSize().height()) / 2));

    button.setTitleCenter(false);
    button.setBtnInsects(QMarginsF(6, 0, 0, 0));
    QFont huge = button.font();
    huge.setPixelSize(60);
    button.setFont(huge);
    EXPECT_EQ(button.titleRect().left(), 6);
    EXPECT_LT(button.titleRect().top(), 0);
}

} // namespace
