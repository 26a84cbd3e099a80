// "Restore Original" in the window: a file cropped and saved by the window gets its pages back
// after reopening, pending until "Done", and a file never saved cropped offers nothing.

#include "crop/QpdfLoader.h"
#include "tests/editor/MainWindowFixture.h"
#include "tests/support/ExpectNear.h"

#include <QAction>

namespace {

class RestoreOriginalWindowTest : public MainWindowTest {
protected:
    QAction* restoreAction() { return editAction("Restore Original"); }
    // Crops page one's lower half away, applies it and saves to target.
    void cropAndSave(const QString& target) {
        dragOnPage(viewAt(1, 0) + QPointF(-1, 1), viewAt(1, 0.5) - QPointF(1, 0));
        pressDone();
        ASSERT_EQ(saveTo(target), QString());
    }
    void reopen(const QString& path) {
        window.reset();
        openFile(readFile(path));
    }
};

TEST_F(RestoreOriginalWindowTest, BringsBackTheOpenedBoxesAfterTwoRoundsOfCropping) {
    TestPage turned;
    turned.mediaBox = QRectF(20, 30, 612, 792);
    turned.cropBox = QRectF(40, 50, 500, 700);
    turned.rotate = 90;
    open({turned, TestPage()});
    ASSERT_TRUE(restoreAction());
    EXPECT_FALSE(restoreAction()->isEnabled());
    const QRectF opened[] = {window->session().pdfDoc().boundsForBox(0, PdfBox::Media), cropBox(0)};

    const QString first = dir.filePath("first.pdf");
    const QString second = dir.filePath("second.pdf");
    cropAndSave(first);
    reopen(first);
    EXPECT_TRUE(restoreAction()->isEnabled());
    cropAndSave(second);
    reopen(second);

    ASSERT_TRUE(restoreAction()->isEnabled());
    restoreAction()->trigger();
    // Pending, like a crop.
    EXPECT_TRUE(ui().saveBtn->isEnabled());
    EXPECT_NE(cropBox(0), opened[1]);
    pressDone();
    EXPECT_FALSE(restoreAction()->isEnabled());
    const QString restored = dir.filePath("restored.pdf");
    ASSERT_EQ(saveTo(restored), QString());
    auto reread = QpdfLoader().open(restored);
    ASSERT_TRUE(reread.ok());
    EXPECT_EQ(reread.document->boundsForBox(0, PdfBox::Media), opened[0]);
    EXPECT_EQ(reread.document->boundsForBox(0, PdfBox::Crop), opened[1]);
    EXPECT_EQ(reread.document->boundsForBox(1, PdfBox::Crop), QRectF(0, 0, 612, 792));
    EXPECT_FALSE(reread.document->keptOriginalBoxes(0));
}

} // namespace
