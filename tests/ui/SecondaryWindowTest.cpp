// Where a secondary window opens: centred over the window it was opened from, never off the
// screen's free area.

#include "ui/SecondaryWindow.h"

#include <gtest/gtest.h>

namespace {

TEST(SecondaryWindow, OpensCentredOverItsParentAndIsMovedInWhereItWouldStickOut) {
    const QRect screen(0, 0, 1000, 800);
    const struct {
        const char* name;
        QSize frame;
        QRect parent;
        QRect available;
        QPoint expected;
    } cases[] = {
        {"centred", {200, 100}, {100, 100, 600, 400}, screen, {300, 250}},
        {"odd leftovers to the top-left", {201, 101}, {0, 0, 600, 400}, screen, {199, 149}},
        {"past the right and bottom edges", {200, 100}, {800, 700, 300, 200}, screen, {800, 700}},
        {"past the left and top edges", {200, 100}, {-300, -200, 200, 100}, screen, {0, 0}},
        {"below a panel at the top", {200, 100}, {0, 0, 200, 100}, {0, 30, 1000, 770}, {0, 30}},
        {"second screen", {200, 100}, {1100, 100, 400, 300}, {1000, 0, 1280, 1024}, {1200, 200}},
        // Its top-left corner in.
        {"larger than the screen", {1200, 900}, {100, 100, 600, 400}, screen, {0, 0}},
    };
    for (const auto& [name, frame, parent, available, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(SecondaryWindow::centredOver(frame, parent, available), expected);
    }
}

} // namespace
