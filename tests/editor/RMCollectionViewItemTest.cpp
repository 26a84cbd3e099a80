#include "editor/RMCollectionViewItem.h"
#include "tests/support/ExpectNear.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

namespace {

// An item as the strip shows it: 180 points wide, for a letter page, its image 150 wide.
TEST(ThumbnailItemTest, ShowsThePageAtTheStripWidthWithItsCropNumberAndSelection) {
    const QSizeF size = RMCollectionViewItem::sizeForThumb({612, 792}, 180);
    EXPECT_DOUBLE_EQ(size.width(), 180);
    EXPECT_DOUBLE_EQ(size.height(), 792 * 150.0 / 612 + 43);
    RMCollectionViewItem item;
    item.view()->resize(size.toSize());
    QImage page(150, 194, QImage::Format_RGB32);
    page.fill(Qt::white);
    item.setPDFImg(page, {0, 0, 612, 792}, {0, 0, 612, 792}, 0);
    expectNear(item.cropRect(), {0, 0, 150, 792 * 150.0 / 612});
    QImage shot(item.view()->size(), QImage::Format_RGB32);
    shot.fill(Qt::black);
    item.view()->render(&shot);
    EXPECT_EQ(qGray(shot.pixel(90, 100)), 255); // a whole-page crop dims nothing
    EXPECT_EQ(item.pageLabelText(), "1");
    const double narrow = item.pageLabelFrame().width();

    item.setPDFImg(page, {36, 36, 540, 720}, {0, 0, 612, 792}, 99);
    expectNear(item.cropRect(), {36 / 4.08, 36 / 4.08, 540 / 4.08, 720 / 4.08});
    EXPECT_EQ(item.pageLabelText(), "100");
    EXPECT_GT(item.pageLabelFrame().width(), narrow);
    EXPECT_NEAR(item.pageLabelFrame().center().x(), 90, 1);
    for (bool selected : {true, false}) {
        item.setSelected(selected);
        EXPECT_EQ(item.backColor(), selected ? QColor(100, 119, 247) : QColor(0, 0, 0, 0));
    }

    // A page without width has no image and no crop, and divides by nothing.
    EXPECT_DOUBLE_EQ(RMCollectionViewItem::sizeForThumb({0, 792}, 180).height(), 43);
    item.setPDFImg(QImage(), {1, 2, 3, 4}, {0, 0, 0, 792}, 0);
    expectNear(item.cropRect(), {});
}

} // namespace
