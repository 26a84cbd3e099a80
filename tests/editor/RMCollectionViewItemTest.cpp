#include "editor/RMCollectionViewItem.h"
#include "tests/support/ExpectNear.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace {

// An item as the strip shows it: 180 points wide, for a letter page.
class ThumbnailItemTest : public testing::Test {
protected:
    ThumbnailItemTest() {
        const QSizeF size = RMCollectionViewItem::sizeForThumb({612, 792}, 180);
        item.view()->resize(size.toSize());
    }
    RMCollectionViewItem item;
};

TEST_F(ThumbnailItemTest, SizesAndCropFollowTheStripWidth) {
    const QSizeF size = RMCollectionViewItem::sizeForThumb({612, 792}, 180);
    EXPECT_DOUBLE_EQ(size.width(), 180);
    EXPECT_DOUBLE_EQ(size.height(), 792 * 150.0 / 612 + 43);
    item.view()->resize(180, 237);
    expectNear(item.thumbCropRectwithPageCropRect({36, 36, 540, 720}, {0, 0, 612, 792}),
               {36 / 4.08, 36 / 4.08, 540 / 4.08, 720 / 4.08});
    // A page without width has no image and no crop, and divides by nothing.
    EXPECT_DOUBLE_EQ(RMCollectionViewItem::sizeForThumb({0, 792}, 180).height(), 43);
    expectNear(item.thumbCropRectwithPageCropRect({1, 2, 3, 4}, {0, 0, 0, 792}), {});
}

TEST_F(ThumbnailItemTest, LabelsCountFromOneAndFitTheirTextAndSelectionShowsTheFrame) {
    item.setPDFImg(QImage(), {0, 0, 612, 792}, {0, 0, 612, 792}, 0);
    EXPECT_EQ(item.pageLabelText(), "1");
    const double narrow = item.pageLabelFrame().width();
    item.setPDFImg(QImage(), {0, 0, 612, 792}, {0, 0, 612, 792}, 99);
    EXPECT_EQ(item.pageLabelText(), "100");
    EXPECT_GT(item.pageLabelFrame().width(), narrow);
    EXPECT_NEAR(item.pageLabelFrame().center().x(), 90, 1);
    for (bool selected : {true, false}) {
        item.setSelected(selected);
        EXPECT_EQ(item.backColor(), selected ? QColor(100, 119, 247) : QColor(0, 0, 0, 0));
    }
}

TEST_F(ThumbnailItemTest, AWholePageCropDimsNothing) {
    QImage page(150, 194, QImage::Format_RGB32);
    page.fill(Qt::white);
    item.setPDFImg(page, {0, 0, 612, 792}, {0, 0, 612, 792}, 0);
    expectNear(item.cropRect(), {0, 0, 150, 792 * 150.0 / 612});
    QImage shot(item.view()->size(), QImage::Format_RGB32);
    shot.fill(Qt::black);
    item.view()->render(&shot);
    EXPECT_EQ(qGray(shot.pixel(90, 100)), 255); // the middle of the page is not dimmed
}

} // namespace
