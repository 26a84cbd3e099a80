#pragma once

#include "crop/QpdfLoader.h"
#include "editor/RMMainWindowController.h"
#include "editor/RMMainWindowDelegate.h"
#include "render/InProcessWorkplace.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"
#include "ui_RMMainWindowController.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// A page with a block at a known place (page space) filled with fill, a PDF colour operator
// ("0 g" is black, "1 0 0 rg" red); the block's bounds are the page's content.
inline TestPage blockPage(const QRectF& media, const QRectF& block, int rotate = 0,
                          std::optional<QRectF> crop = {}, const char* fill = "0 g") {
    TestPage page;
    page.mediaBox = media;
    page.cropBox = crop;
    page.rotate = rotate;
    page.content = QStringLiteral("%1 %2 %3 %4 %5 re f")
                       .arg(QLatin1String(fill))
                       .arg(block.x())
                       .arg(block.y())
                       .arg(block.width())
                       .arg(block.height())
                       .toLatin1();
    return page;
}

// Names the file as documents do: "file://" and the path as it is.
struct FileDelegate : RMMainWindowDelegate {
    QString path;
    QString currentFilePath() const override { return "file://" + path; }
};

// A window on a file with a name that looks percent-encoded and is not. Its file is read,
// drawn and saved in this process unless a test chooses another workplace before opening.
class MainWindowTest : public testing::Test {
protected:
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
    // A window on a file holding bytes.
    void openFile(const QByteArray& bytes) {
        delegate.path = writeFile(dir.filePath(QString::fromUtf8(kFileName)), bytes);
        auto opened = workplace->loader().open(delegate.path);
        ASSERT_TRUE(opened.ok());
        window = std::make_unique<RMMainWindowController>(std::move(opened.document), &delegate,
                                                          workplace);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    Ui::RMMainWindowController& ui() { return window->ui(); }
    // The colour the page view shows near the top of its middle.
    QColor pageViewShows() {
        const QImage view = ui().pdfImgView->grab().toImage();
        return view.pixelColor(view.width() / 2, view.height() / 8);
    }
    // Waits, a while at most, for the page view to show colour, and says whether it does.
    bool pageViewComesToShow(const QColor& colour) {
        for (QDeadlineTimer deadline(30000); pageViewShows() != colour && !deadline.hasExpired();)
            QTest::qWait(10);
        return pageViewShows() == colour;
    }
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

    // Saves as a user does: the save key, or closing the window and answering "Save As",
    // then the panel's proposal changed to target. The write's error, empty on success.
    QString saveTo(const QString& target, bool byClosing = false) {
        QSignalSpy finished(window.get(), &RMMainWindowController::saveFinished);
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
        if (!finished.wait(20000))
            return QStringLiteral("no answer");
        const QString error = finished[0][0].toString();
        if (error.isEmpty()) {
            EXPECT_TRUE(
                SavedFileCheck::readsCleanly(target, window->session().pdfDoc().pageCount()));
        }
        return error;
    }
    // Clicks the button titled answer in the window's close question; false without one.
    bool answerCloseQuestion(const QString& answer) {
        auto* alert = window->findChild<QMessageBox*>();
        if (!alert)
            return false;
        for (QAbstractButton* button : alert->buttons())
            if (button->text() == answer)
                button->click();
        return true;
    }

    std::shared_ptr<const RenderWorkplace> workplace = std::make_shared<InProcessWorkplace>();
    QTemporaryDir dir;
    FileDelegate delegate;
    std::unique_ptr<RMMainWindowController> window;
};
