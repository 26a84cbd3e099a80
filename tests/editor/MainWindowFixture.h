#pragma once

#include "crop/QpdfLoader.h"
#include "editor/ContentFitControls.h"
#include "editor/ContentFitter.h"
#include "editor/RMCollectionViewItem.h"
#include "editor/RMMainWindowController.h"
#include "editor/RMMainWindowDelegate.h"
#include "editor/SaveFlow.h"
#include "platform/CollectionView.h"
#include "platform/FileOpener.h"
#include "render/InProcessWorkplace.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"
#include "ui_RMMainWindowController.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <vector>

// A page with a block at a known place (page space) filled with fill, a PDF colour operator
// ("0 g" is black, "1 0 0 rg" red); the block's bounds are the page's content.
inline TestPage blockPage(const QRectF& media, const QRectF& block, int rotate = 0,
                          std::optional<QRectF> crop = {}, const char* fill = "0 g") {
    const QString content = QString::asprintf("%s %g %g %g %g re f", fill, block.x(), block.y(),
                                              block.width(), block.height());
    return {.mediaBox = media, .cropBox = crop, .rotate = rotate, .content = content.toLatin1()};
}

// Records the files a save opens afterwards, which the desktop would show.
struct RecordingOpener : FileOpener {
    QStringList opened;
    void openFile(const QString& path) override { opened << path; }
};

// Names the file as documents do: "file://" and the path as it is.
struct FileDelegate : RMMainWindowDelegate {
    QString path;
    QString currentFilePath() const override { return "file://" + path; }
};

// A window on a file with a name that looks percent-encoded and is not. Its file is read,
// drawn and saved in this process unless a test chooses another workplace before opening.
class MainWindowTest : public testing::Test {
protected:
    // Choices kept in the settings are each test's own.
    void SetUp() override { QSettings().clear(); }

    static constexpr const char* kFileName = "my file é 100%.pdf";

    // `pages` letter pages, the third one taller.
    void open(int pages, const QString& userPassword = {}) {
        std::vector<TestPage> list(static_cast<size_t>(pages));
        if (pages > 2)
            list[2].mediaBox = QRectF(0, 0, 612, 1008);
        open(list, userPassword);
    }
    void open(const std::vector<TestPage>& pages, const QString& userPassword = {}) {
        TestPdfBuilder builder;
        for (const TestPage& page : pages)
            builder.addPage(page);
        if (!userPassword.isEmpty())
            builder.encrypt(userPassword, "owner");
        openFile(builder.bytes());
    }
    void openFile(const QByteArray& bytes) {
        delegate.path = writeFile(dir.filePath(QString::fromUtf8(kFileName)), bytes);
        auto opened = workplace->loader().open(delegate.path);
        ASSERT_TRUE(opened.ok());
        window = std::make_unique<RMMainWindowController>(std::move(opened.document), &delegate,
                                                          workplace);
        window->saveFlow().setFileOpener(&opener);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    Ui::RMMainWindowController& ui() { return window->ui(); }
    // Waits, a while at most, for the page view to show colour near the top of its middle.
    bool pageViewComesToShow(const QColor& colour) {
        const auto shows = [&] {
            const QImage view = ui().pdfImgView->grab().toImage();
            return view.pixelColor(view.width() / 2, view.height() / 8) == colour;
        };
        return QTest::qWaitFor(shows, 30000);
    }
    // The notice the window shows over its page when its file changed on disk.
    QLabel* notice() { return window->findChild<QLabel*>("documentNotice"); }
    qint64 current() { return window->session().currentIndex(); }
    // Which thumbnails bear the mark of the batch's pages.
    std::vector<bool> batchMarks() {
        std::vector<bool> marks;
        for (int i = 0; i < ui().thumbCollectionView->numberOfItemsInSection(0); ++i) {
            auto* item = static_cast<RMCollectionViewItem*>(
                ui().thumbCollectionView->itemAtIndexPath({0, i}));
            marks.push_back(item && item->isInBatch());
        }
        return marks;
    }
    int selectedThumbnail() {
        const auto selection = ui().thumbCollectionView->selectionIndexPaths();
        return selection.size() == 1 ? selection.begin()->item : -1;
    }
    bool navigation(bool first, bool previous, bool next, bool last) {
        return ui().firstJumpBtn->isEnabled() == first &&
               ui().previousBtn->isEnabled() == previous && ui().nextBtn->isEnabled() == next &&
               ui().lastJumpBtn->isEnabled() == last;
    }
    // The page view's point at these fractions of its width and height (view space, y up).
    QPointF viewAt(double x, double y) {
        return {x * ui().pdfImgView->width(), y * ui().pdfImgView->height()};
    }
    // Drags the page view's marker from one view point to another (view space, y up); whilst
    // the button is still down, duringDrag runs.
    void dragOnPage(QPointF from, QPointF to, const std::function<void()>& duringDrag = {}) {
        QWidget* view = ui().pdfImgView;
        auto at = [view](QPointF p) { return QPoint(int(p.x()), int(view->height() - p.y())); };
        QTest::mousePress(view, Qt::LeftButton, {}, at(from));
        QMouseEvent move(QEvent::MouseMove, at(to), view->mapToGlobal(at(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        if (duringDrag)
            duringDrag();
        QTest::mouseRelease(view, Qt::LeftButton, {}, at(to));
    }
    // Buttons report their clicks once the click's events are done.
    static void click(QWidget* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    void pressDone() { QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_Return)); }
    // The crop pending on a page, the current one by default, and the crop box applied to it.
    QRectF crop(qint64 page = -1) {
        return window->session().cropsRect()[size_t(page < 0 ? current() : page)].cropRect;
    }
    QRectF cropBox(int page) { return window->session().pdfDoc().boundsForBox(page, PdfBox::Crop); }
    // Fits to content with the window's key and waits for the crops.
    void fitToContent(const CropLength& padding = {}, bool sameSize = false) {
        window->fitControls()->setPadding(padding);
        window->fitControls()->setSameSize(sameSize);
        QSignalSpy fitted(&window->contentFitter(), &ContentFitter::fitted);
        QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
        ASSERT_TRUE(fitted.count() > 0 || fitted.wait(30000));
        EXPECT_TRUE(ui().fitContentBtn->isEnabled());
    }
    int steps() { return window->session().undoStack().count(); }
    QAction* editAction(const QString& startingWith) {
        for (QAction* action : window->editActions())
            if (action->text().startsWith(startingWith))
                return action;
        return nullptr;
    }

    // Saves as a user does: the save key, or closing the window and answering "Save As",
    // then the panel's proposal changed to target. The write's error, empty on success.
    QString saveTo(const QString& target, bool byClosing = false) {
        QSignalSpy finished(window.get(), &RMMainWindowController::saveFinished);
        if (const QString refused = chooseSaveTarget(target, byClosing); !refused.isEmpty())
            return refused;
        if (!finished.wait(20000))
            return QStringLiteral("no answer");
        const QString error = finished[0][0].toString();
        if (error.isEmpty()) {
            EXPECT_TRUE(
                SavedFileCheck::readsCleanly(target, window->session().pdfDoc().pageCount()));
        }
        return error;
    }
    // The first half of saveTo: as far as the save panel's answer; empty when it was given.
    QString chooseSaveTarget(const QString& target, bool byClosing = false) {
        if (byClosing) {
            window->close();
            if (!answerCloseQuestion("Save As"))
                return QStringLiteral("no close question");
        } else {
            QTest::keySequence(window.get(), QKeySequence::Save);
        }
        auto* panel = window->findChild<QFileDialog*>();
        if (!panel)
            return QStringLiteral("no save panel");
        // The panel's own question before replacing a file would wait for an answer.
        panel->setOption(QFileDialog::DontConfirmOverwrite);
        panel->selectFile(target);
        QMetaObject::invokeMethod(panel, "accept");
        return {};
    }
    // The message the window shows; answered ones wait to be deleted meanwhile.
    QMessageBox* alert() {
        for (QMessageBox* shown : window->findChildren<QMessageBox*>())
            if (shown->isVisible())
                return shown;
        return nullptr;
    }
    // Clicks the button titled answer in the window's close question; false without one.
    bool answerCloseQuestion(const QString& answer) {
        QMessageBox* question = alert();
        if (!question)
            return false;
        for (QAbstractButton* button : question->buttons())
            if (button->text() == answer)
                button->click();
        return true;
    }

    std::shared_ptr<const RenderWorkplace> workplace = std::make_shared<InProcessWorkplace>();
    QTemporaryDir dir;
    FileDelegate delegate;
    RecordingOpener opener;
    std::unique_ptr<RMMainWindowController> window;
};
