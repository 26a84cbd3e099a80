#include "editor/RMMainWindowController.h"
#include "crop/QpdfLoader.h"
#include "editor/RMMainWindowDelegate.h"
#include "platform/CollectionView.h"
#include "platform/CollectionViewItem.h"
#include "tests/support/TestPdfBuilder.h"
#include "ui_RMMainWindowController.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

namespace {

struct FileDelegate : RMMainWindowDelegate {
    QString path;
    QString currentFilePath() const override { return path; }
};

// A window on a file of `pages` pages: letter pages, the third one taller.
class MainWindowTest : public testing::Test {
protected:
    void open(int pages) {
        TestPdfBuilder builder;
        for (int i = 0; i < pages; ++i) {
            TestPage page;
            if (i == 2)
                page.mediaBox = QRectF(0, 0, 612, 1008);
            builder.addPage(page);
        }
        delegate.path = builder.writeTo(dir.filePath("doc.pdf"));
        auto opened = QpdfLoader().open(delegate.path);
        ASSERT_TRUE(opened.ok());
        window = std::make_unique<RMMainWindowController>(std::move(opened.document), &delegate);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    Ui::RMMainWindowController& ui() { return window->ui(); }
    qint64 current() { return window->session().currentIndex(); }
    int selectedThumbnail() {
        const auto selection = ui().thumbCollectionView->selectionIndexPaths();
        return selection.size() == 1 ? selection.begin()->item : -1;
    }
    bool navigation(bool first, bool previous, bool next, bool last) {
        return ui().firstJumpBtn->isEnabled() == first &&
               ui().previousBtn->isEnabled() == previous && ui().nextBtn->isEnabled() == next &&
               ui().lastJumpBtn->isEnabled() == last;
    }
    // Drags the page view's marker from one view point to another (view space, y up).
    void dragOnPage(QPointF from, QPointF to) {
        QWidget* view = ui().pdfImgView;
        auto at = [view](QPointF p) { return QPoint(int(p.x()), int(view->height() - p.y())); };
        QTest::mousePress(view, Qt::LeftButton, {}, at(from));
        QMouseEvent move(QEvent::MouseMove, at(to), view->mapToGlobal(at(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, Qt::LeftButton, {}, at(to));
    }

    QTemporaryDir dir;
    FileDelegate delegate;
    std::unique_ptr<RMMainWindowController> window;
};

TEST_F(MainWindowTest, OpensOnPageOneWithItsCountAndNavigation) {
    open(5);
    EXPECT_EQ(ui().pageTextField->text(), "1");
    EXPECT_EQ(ui().pageAmountField->text(), "/ 5");
    EXPECT_TRUE(navigation(false, false, true, true));
    EXPECT_EQ(selectedThumbnail(), 0);
    EXPECT_FALSE(ui().saveBtn->isEnabled());
    EXPECT_FALSE(ui().cancelBtn->isEnabled());
    EXPECT_FALSE(ui().pageRangeBtn->isEnabled());
    EXPECT_TRUE(ui().pageCropBtn->isSelected());
    EXPECT_EQ(window->windowTitle(), "doc.pdf[*]");
}

TEST_F(MainWindowTest, AOnePageDocumentCannotNavigate) {
    open(1);
    EXPECT_TRUE(navigation(false, false, false, false));
}

TEST_F(MainWindowTest, PageFieldClampsWhileTypingAndJumpsWhenEditingEnds) {
    open(5);
    ui().pageTextField->setFocus();
    ui().pageTextField->selectAll();
    QTest::keyClicks(ui().pageTextField, "0");
    EXPECT_EQ(ui().pageTextField->text(), "1");
    ui().pageTextField->selectAll();
    QTest::keyClicks(ui().pageTextField, "99");
    EXPECT_EQ(ui().pageTextField->text(), "5");
    EXPECT_EQ(current(), 0);
    QTest::keyClick(ui().pageTextField, Qt::Key_Return);
    EXPECT_EQ(current(), 4);
    EXPECT_EQ(selectedThumbnail(), 4);
    EXPECT_TRUE(navigation(true, true, false, false));
}

TEST_F(MainWindowTest, NavigationStopsAtBothEnds) {
    open(3);
    window->previousClickHandler();
    EXPECT_EQ(current(), 0);
    window->lastJumpClickHandler();
    window->nextClickHandler();
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(ui().pageTextField->text(), "3");
    window->previousClickHandler();
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(selectedThumbnail(), 1);
    EXPECT_TRUE(navigation(true, true, true, true));
}

TEST_F(MainWindowTest, ButtonClicksReachTheirHandlers) {
    open(3);
    QTest::mouseClick(ui().nextBtn, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(current(), 1);
}

TEST_F(MainWindowTest, ModeButtonsSwitchBatchModeAndPageRange) {
    open(3);
    window->batchCropClickHandler();
    window->batchCropClickHandler();
    EXPECT_TRUE(window->session().isBatchCrop());
    EXPECT_TRUE(ui().pageRangeBtn->isEnabled());
    EXPECT_FALSE(ui().pageCropBtn->isSelected());
    window->session().applyPageRangeSettingWithPageArray({"2 - 3"});
    window->pageCropClickHandler();
    EXPECT_FALSE(window->session().isBatchCrop());
    EXPECT_FALSE(ui().pageRangeBtn->isEnabled());
    EXPECT_EQ(window->session().cropPageTypeRangeArray(), QStringList{"2 - 3"});
}

TEST_F(MainWindowTest, DragsCropTheCurrentPageOrTheBatchAndEnableDone) {
    open(4);
    const QRectF whole = window->session().cropsRect()[1].cropRect;
    dragOnPage({100, 100}, {40, 60}); // handle 1... moved outward only to the page's corner
    dragOnPage({200, 200}, {200, 200});
    EXPECT_FALSE(ui().saveBtn->isEnabled());
    const double right = ui().pdfImgView->width();
    const double top = ui().pdfImgView->height();
    dragOnPage({right, top}, {right - 100, top - 100});
    EXPECT_TRUE(ui().saveBtn->isEnabled());
    EXPECT_NE(window->session().cropsRect()[0].cropRect, whole);
    EXPECT_EQ(window->session().cropsRect()[1].cropRect, whole);

    window->batchCropClickHandler();
    dragOnPage({right - 100, top - 100}, {right - 120, top - 120});
    const auto& records = window->session().cropsRect();
    EXPECT_EQ(records[1].cropRect, records[0].cropRect);
    EXPECT_NE(records[2].cropRect, records[0].cropRect); // the taller page is carried
    EXPECT_LT(records[2].cropRect.height(), 1008);
}

TEST_F(MainWindowTest, DoneKeepsThePageAndRevertAllBringsTheFileBack) {
    open(4);
    window->nextClickHandler();
    const double right = ui().pdfImgView->width();
    const double top = ui().pdfImgView->height();
    dragOnPage({right, top}, {right / 2, top / 2});
    window->saveClickHandler();
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(selectedThumbnail(), 1);
    EXPECT_EQ(ui().pageTextField->text(), "2");
    EXPECT_FALSE(ui().saveBtn->isEnabled());
    EXPECT_TRUE(ui().cancelBtn->isEnabled());
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_LT(window->session().pdfDoc().boundsForBox(1, PdfBox::Crop).width(), 612);

    window->cancelClickHandler();
    EXPECT_EQ(window->session().pdfDoc().boundsForBox(1, PdfBox::Crop), QRectF(0, 0, 612, 792));
    EXPECT_FALSE(ui().cancelBtn->isEnabled());
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(current(), 1);
}

TEST_F(MainWindowTest, ChoosingAThumbnailShowsItsPage) {
    open(4);
    CollectionView* strip = ui().thumbCollectionView;
    auto* item = strip->itemAtIndexPath(IndexPath{0, 1});
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(item->view(), Qt::LeftButton, {}, item->view()->rect().center());
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(ui().pageTextField->text(), "2");
    EXPECT_TRUE(navigation(true, true, true, true));
}

} // namespace
