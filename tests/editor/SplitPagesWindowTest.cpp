// Splitting pages in the window, drawn and saved by a render host as the program does: the
// sheet, its line dragged on the page, the parts as pages in the view and the strip, other
// pages' crops kept, undo, redo, Revert All and the saved file.

#include "editor/PageSplitting.h"
#include "editor/SplitLinesView.h"
#include "editor/SplitPagesSheet.h"
#include "render/RenderHostWorkplace.h"
#include "tests/editor/MainWindowFixture.h"
#include "tests/support/ExpectNear.h"

#include <QPushButton>

namespace {

const QRectF kLetter(0, 0, 612, 792);

// A black block on the left half of a letter page and a red one on the right.
TestPage spread() {
    return {.content = "0 g 20 400 200 380 re f 1 0 0 rg 400 400 200 380 re f"};
}

class SplitPagesWindowTest : public MainWindowTest {
protected:
    int strip() { return ui().thumbCollectionView->numberOfItemsInSection(0); }
    std::vector<QRectF> cropBoxes() {
        std::vector<QRectF> boxes;
        for (int i = 0; i < window->session().pdfDoc().pageCount(); ++i)
            boxes.push_back(cropBox(i));
        return boxes;
    }
};

TEST_F(SplitPagesWindowTest, TheLineDraggedOnThePageSplitsItIntoPagesThatUndoJoinsAgain) {
    workplace = std::make_shared<RenderHostWorkplace>(CROPMARK_RENDER_HOST);
    open({spread(), spread()});
    QTest::keyClick(window.get(), Qt::Key_End);
    dragOnPage(viewAt(0, 0), viewAt(0.5, 0.5));
    const QRectF secondCrop = crop(1);
    QTest::keyClick(window.get(), Qt::Key_Home);

    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S));
    PageSplitting& splitting = window->pageSplitting();
    ASSERT_TRUE(splitting.isChoosing());
    SplitLinesView& lines = splitting.lines();
    ASSERT_TRUE(lines.isVisible());
    // The line from the middle of the page to 40% of its width.
    const int y = lines.height() / 2;
    QTest::mousePress(&lines, Qt::LeftButton, {}, QPoint(lines.width() / 2, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(0.4 * lines.width(), y),
                     lines.mapToGlobal(QPointF(0.4 * lines.width(), y)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&lines, &move);
    QTest::mouseRelease(&lines, Qt::LeftButton, {}, QPoint(int(0.4 * lines.width()), y));
    ASSERT_EQ(splitting.sheet().split().lines.size(), 1u);
    const double line = splitting.sheet().split().lines[0].value;
    EXPECT_NEAR(line, 0.4 * 612, 612.0 / lines.width() + 0.1);

    for (QPushButton* button : splitting.sheet().findChildren<QPushButton*>()) {
        if (button->text() == "Split")
            click(button);
    }
    EXPECT_FALSE(splitting.isChoosing());
    EXPECT_FALSE(lines.isVisible());
    const std::vector<QRectF> split{QRectF(0, 0, line, 792), QRectF(line, 0, 612 - line, 792),
                                    kLetter};
    EXPECT_EQ(cropBoxes(), split);
    EXPECT_EQ(strip(), 3);
    EXPECT_EQ(crop(2), secondCrop) << "the other page keeps its crop";
    // Each part shows its own half of the page.
    EXPECT_TRUE(pageViewComesToShow(Qt::black));
    QTest::keyClick(window.get(), Qt::Key_PageDown);
    EXPECT_TRUE(pageViewComesToShow(Qt::red));
    EXPECT_TRUE(ui().cancelBtn->isEnabled()) << "Revert All takes the split back";
    // The second part is fitted to what it shows of the page: the red block alone.
    fitToContent();
    expectNear(crop(), QRectF(400 - line, 400, 200, 380), 0.01);
    QTest::keySequence(window.get(), QKeySequence::Undo);

    QTest::keySequence(window.get(), QKeySequence::Undo);
    EXPECT_EQ(cropBoxes(), std::vector<QRectF>(2, kLetter));
    EXPECT_EQ(strip(), 2);
    EXPECT_EQ(crop(1), secondCrop);
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(cropBoxes(), split);

    ASSERT_EQ(saveTo(dir.filePath("split.pdf")), "");
    const auto saved = QpdfLoader().open(dir.filePath("split.pdf"));
    ASSERT_TRUE(saved.ok());
    ASSERT_EQ(saved.document->pageCount(), 3);
    expectNear(saved.document->boundsForBox(1, PdfBox::Media), split[1], 1e-6);

    click(ui().cancelBtn);
    EXPECT_EQ(strip(), 2);
}

} // namespace
