// Views the design keeps for pictures of their own: an image on a colour, and a rectangle
// drawn in page-like coordinates.

#include "editor/RMBackColorImgView.h"
#include "editor/RMThumbDrawView.h"

#include <gtest/gtest.h>

#include <QPixmap>

namespace {

QColor at(QWidget& view, int x, int y) {
    return view.grab().toImage().pixelColor(x, y);
}

TEST(PlainViewsTest, AnImageIsCentredOnItsColourAndShrunkToFit) {
    RMBackColorImgView view;
    view.resize(100, 50);
    view.setBackColor(Qt::blue);
    QPixmap red(200, 200);
    red.fill(Qt::red);
    view.setImage(red);
    // Shrunk to 50 × 50, between x 25 and 75.
    EXPECT_EQ(at(view, 50, 25), QColor(Qt::red));
    EXPECT_EQ(at(view, 10, 25), QColor(Qt::blue));
    EXPECT_EQ(at(view, 90, 25), QColor(Qt::blue));
}

TEST(PlainViewsTest, TheRectangleIsMeasuredFromTheLowerLeftCorner) {
    RMThumbDrawView view;
    view.resize(100, 100);
    view.setCropRect(QRectF(10, 10, 30, 20));
    EXPECT_EQ(at(view, 25, 80), QColor(Qt::green));
    EXPECT_NE(at(view, 25, 20), QColor(Qt::green));
}

} // namespace
