// Fit to Content in the window, and crops that cut content marked on the page and its thumbnail.

#include "crop/QpdfLoader.h"
#include "editor/RMCollectionViewItem.h"
#include "platform/CollectionView.h"
#include "tests/editor/MainWindowFixture.h"
#include "tests/support/ExpectNear.h"

#include <cmath>

namespace {

const QRectF kLetter(0, 0, 612, 792);

class ContentFitWindowTest : public MainWindowTest {
protected:
    RMCollectionViewItem* thumbnail(int page) {
        return static_cast<RMCollectionViewItem*>(
            ui().thumbCollectionView->itemAtIndexPath(IndexPath{0, page}));
    }
};

TEST_F(ContentFitWindowTest, FitsEachPageToItsContentInEveryPlacementAndSavesIt) {
    const std::vector<TestPage> pages = {
        blockPage(kLetter, {100, 120, 300, 400}),
        blockPage(kLetter, {50, 60, 200, 100}, 90),
        blockPage({20, 30, 612, 792}, {120, 200, 150, 80}, 180, QRectF(40, 50, 500, 700)),
        blockPage({-100, 0, 842, 595}, {0, 100, 300, 200}, 270),
    };
    open(pages);
    window->batchCropClickHandler();
    fitToContent();
    // Pending, like a drag: "Done" applies it.
    ASSERT_TRUE(ui().saveBtn->isEnabled());
    EXPECT_EQ(cropBox(0), kLetter);
    pressDone();
    const QString target = dir.filePath("fitted.pdf");
    ASSERT_EQ(saveTo(target), QString());
    const QRectF expected[] = {
        {100, 120, 300, 400}, {50, 60, 200, 100}, {120, 200, 150, 80}, {0, 100, 300, 200}};
    auto saved = QpdfLoader().open(target);
    for (int i = 0; i < 4; ++i)
        expectNear(saved.document->boundsForBox(i, PdfBox::Crop), expected[i]);
}

TEST_F(ContentFitWindowTest, OnePageAloneWithPaddingOrTheBatchInOneSize) {
    open({blockPage(kLetter, {100, 100, 50, 50}), blockPage(kLetter, {300, 500, 100, 20}),
          blockPage({0, 0, 612, 1008}, {10, 10, 20, 20})});
    // Custom crop: the current page alone, 10 mm around its content.
    fitToContent({10, CropLength::Unit::Millimetres});
    const double mm = 72 / 25.4 * 10;
    expectNear(crop(0), QRectF(100, 100, 50, 50).adjusted(-mm, -mm, mm, mm));
    EXPECT_EQ(crop(1), QRectF(0, 0, 612, 792));

    // Same size for all: one rectangle holding both letter pages' content, and the tall page
    // carried as a batch crop is (which cuts its content, and says so).
    window->batchCropClickHandler();
    fitToContent({}, true);
    expectNear(crop(0), QRectF(100, 100, 300, 420));
    expectNear(crop(1), QRectF(100, 100, 300, 420));
    expectNear(crop(2), QRectF(100, 316, 300, 420));
    QTRY_VERIFY_WITH_TIMEOUT(thumbnail(2) && thumbnail(2)->cutsContent(), 30000);
    EXPECT_FALSE(thumbnail(0)->cutsContent());
    EXPECT_FALSE(thumbnail(1)->cutsContent());
}

TEST_F(ContentFitWindowTest, ADragThatCutsContentIsMarkedOnThePageAndItsThumbnail) {
    open({blockPage(kLetter, {300, 600, 200, 150}), blockPage(kLetter, {300, 600, 200, 150})});
    // The page view learns where the content is, without any crop yet.
    QTRY_VERIFY_WITH_TIMEOUT(ui().pdfImgView->contentBounds().has_value(), 30000);
    // A crop of the page's lower half leaves the block out.
    dragOnPage(viewAt(1, 1) - QPointF(1, 1), viewAt(1, 0.5) - QPointF(1, 0));
    ASSERT_TRUE(ui().saveBtn->isEnabled());
    EXPECT_EQ(crop(1), kLetter) << "the current page alone";
    QTRY_VERIFY_WITH_TIMEOUT(thumbnail(0)->cutsContent(), 30000);
    EXPECT_FALSE(thumbnail(1)->cutsContent());
    // The cut block is tinted red, whether its picture has arrived yet or not.
    const QImage after = ui().pdfImgView->grab().toImage();
    const QColor block = after.pixelColor(
        QPoint(int(after.width() * 400 / 612), int(after.height() * (792 - 675) / 792)));
    EXPECT_GT(block.red(), block.green() + 40);
    EXPECT_GT(block.red(), block.blue() + 40);
    // Applied, the crop still cuts the page's content.
    pressDone();
    QTRY_VERIFY_WITH_TIMEOUT(thumbnail(0) && thumbnail(0)->cutsContent(), 30000);
    // Going back to the whole page takes the warning away.
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    QTRY_VERIFY_WITH_TIMEOUT(thumbnail(0) && !thumbnail(0)->cutsContent(), 30000);
}

// An item as the strip shows it: 180 points wide, for a letter page, its image 150 wide.
TEST(ThumbnailItemTest, ShowsThePageWithItsCropNumberAndSelection) {
    RMCollectionViewItem item;
    item.view()->resize(RMCollectionViewItem::sizeForThumb({612, 792}, 180).toSize());
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
    const QColor unselected = item.backColor();
    item.setSelected(true);
    EXPECT_NE(item.backColor(), unselected);

    // A page without width has no image and no crop, and divides by nothing.
    EXPECT_TRUE(std::isfinite(RMCollectionViewItem::sizeForThumb({0, 792}, 180).height()));
    item.setPDFImg(QImage(), {1, 2, 3, 4}, {0, 0, 0, 792}, 0);
    expectNear(item.cropRect(), {});
}

} // namespace
