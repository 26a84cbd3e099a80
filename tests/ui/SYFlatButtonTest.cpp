#include "PlayInput.h"
#include "RenderedPixels.h"

#include "ui/SYFlatButton.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

using Position = SYFlatButton::ImagePosition;

struct FlatScript {
    const char* name;
    bool momentary;
    const char* steps;
    const char* statesAfterEachStep;
    int clicks;
};

class FlatButtonEvents : public testing::TestWithParam<FlatScript> {};

TEST_P(FlatButtonEvents, ToggleAndClick) {
    const FlatScript& script = GetParam();
    SYFlatButton button;
    button.resize(80, 30);
    button.setMomentary(script.momentary);
    QSignalSpy clicked(&button, &SYFlatButton::clicked);
    EXPECT_EQ(playInput(button, script.steps, [&] { return button.state(); }),
              script.statesAfterEachStep);
    EXPECT_EQ(clicked.count(), script.clicks);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, FlatButtonEvents,
    testing::Values(FlatScript{"MomentaryClick", true, "EPRX", "1010", 1},
                    FlatScript{"LatchingClickStaysOnAfterLeaving", false, "EPRX", "1001", 1},
                    FlatScript{"LeavingWhileHeldCancels", true, "EPOR", "1011", 0},
                    FlatScript{"RepeatedEnterTogglesOnce", true, "EEXX", "1100", 0},
                    FlatScript{"ReleaseWithoutPressDoesNothing", true, "ER", "11", 0}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(FlatButton, BackgroundStaysLitWhileHoveredAndFadesWhenDisabled) {
    const QColor backdrop(0x10, 0x20, 0x30), normal(0x40, 0x40, 0x40), lit(0x64, 0x77, 0xF7);
    SYFlatButton button;
    button.resize(60, 24);
    button.setBackgroundNormalColor(normal);
    button.setBackgroundHighlightColor(lit);
    const auto probe = [&] { return renderOnBackdrop(button, backdrop).pixelColor(4, 12); };
    EXPECT_TRUE(colorNear(probe(), normal));
    playInput(button, "E", [] { return 0; });
    button.setState(0); // off, but the pointer is still over it
    EXPECT_TRUE(colorNear(probe(), lit));
    playInput(button, "X", [] { return 0; }); // toggles it on again
    button.setState(0);
    button.setEnabled(false);
    EXPECT_TRUE(colorNear(probe(), over(QColor(0x40, 0x40, 0x40, 128), backdrop)));
}

TEST(FlatButton, AnimatesOnlyTowardsANewColour) {
    SYFlatButton button;
    button.setOffAnimateDuration(60);
    button.setTitleNormalColor(Qt::transparent);
    EXPECT_FALSE(button.isAnimating());
    button.setTitleNormalColor(Qt::white);
    EXPECT_TRUE(button.isAnimating());
}

struct Layout {
    const char* name;
    Position position;
    bool hug;
};

class FlatButtonLayout : public testing::TestWithParam<Layout> {};

TEST_P(FlatButtonLayout, PlacesImageAndTitle) {
    const Layout& layout = GetParam();
    const qreal s = 3;
    SYFlatButton button;
    button.resize(200, 40);
    button.setImageName("edit");
    button.setImageSize(button.image().size());
    button.setTitle("Edit");
    button.setSpacing(s);
    button.setImagePosition(layout.position);
    button.setImageHugsTitle(layout.hug);
    const bool imageLeft = layout.position == Position::ImageLeft;
    const QRectF first = imageLeft ? button.imageRect() : button.titleRect();
    const QRectF second = imageLeft ? button.titleRect() : button.imageRect();
    if (layout.hug) {
        // Two spacings between them, and the pair in the middle.
        EXPECT_NEAR(second.left() - first.right(), 2 * s, 1);
        EXPECT_NEAR(first.left(), 200 - second.right(), 1);
    } else {
        EXPECT_EQ(first.left(), s);
        EXPECT_NEAR(second.right(), 200 - s, 1);
    }
    // Resizing moves both.
    button.resize(300, 40);
    EXPECT_NEAR((imageLeft ? button.titleRect() : button.imageRect()).right(),
                layout.hug ? second.right() + 50 : 300 - s, 1);
}

INSTANTIATE_TEST_SUITE_P(Positions, FlatButtonLayout,
                         testing::Values(Layout{"LeftHugging", Position::ImageLeft, true},
                                         Layout{"LeftAtEdges", Position::ImageLeft, false},
                                         Layout{"RightHugging", Position::ImageRight, true},
                                         Layout{"RightAtEdges", Position::ImageRight, false}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(FlatButton, ImageOnlyHasNoTitleAndNoImageHasNoImage) {
    SYFlatButton button;
    button.resize(100, 30);
    button.setImageName("clear");
    button.setImageSize(QSizeF(22, 22));
    button.setTitle("Clear");
    button.setImagePosition(Position::ImageOnly);
    EXPECT_EQ(button.imageRect(), QRectF(39, 4, 22, 22));
    EXPECT_TRUE(button.titleRect().isNull());
    button.setImagePosition(Position::NoImage);
    EXPECT_TRUE(button.imageRect().isNull());
}

} // namespace
