#include "editor/RMDecryptSheet.h"
#include "editor/RMSaveProgressSheet.h"
#include "platform/FileOpener.h"
#include "tests/editor/MainWindowFixture.h"
#include "ui/RMTextField.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>

#include <vector>

namespace {

struct RecordingOpener : FileOpener {
    QStringList opened;
    void openFile(const QString& path) override { opened << path; }
};

class SaveFlowsTest : public MainWindowTest {
protected:
    void openWithOpener(int pages, const QString& password = {}) {
        open(pages, password);
        window->setFileOpener(&opener);
    }
    // Applies a crop so that the window has unsaved changes.
    void makeEdited() {
        const double right = ui().pdfImgView->width();
        const double top = ui().pdfImgView->height();
        dragOnPage({right, top}, {right / 2, top / 2});
        window->saveClickHandler();
        ASSERT_TRUE(window->isWindowModified());
    }
    // Saves to target and waits for the write to end; the error, empty on success.
    QString saveTo(const QString& target, bool closeAfterwards = false) {
        QSignalSpy finished(window.get(), &RMMainWindowController::saveFinished);
        window->writeDocumentTo(target, closeAfterwards);
        EXPECT_TRUE(finished.wait(20000));
        return finished.isEmpty() ? QStringLiteral("no answer") : finished[0][0].toString();
    }
    template <typename T> T* sheet() { return window->findChild<T*>(); }

    RecordingOpener opener;
};

TEST_F(SaveFlowsTest, APlainFileNeverAsksForAPassword) {
    openWithOpener(2);
    window->showDecryptWindow();
    EXPECT_EQ(window->decryptWindow(), nullptr);
}

TEST_F(SaveFlowsTest, AWrongPasswordSaysSoUntilTypingAndTheRightOneShowsThePages) {
    openWithOpener(3, "secret");
    EXPECT_EQ(window->session().cropsRect().size(), 0u);
    window->showDecryptWindow();
    RMDecryptSheet* decrypt = window->decryptWindow();
    ASSERT_NE(decrypt, nullptr);
    EXPECT_FALSE(decrypt->wrongPasswordLabel()->isVisibleTo(decrypt));
    decrypt->passwordField()->setText("guess");
    emit decrypt->tryPassword("guess");
    EXPECT_TRUE(decrypt->wrongPasswordLabel()->isVisibleTo(decrypt));
    EXPECT_TRUE(decrypt->passwordField()->text().isEmpty());
    QTest::keyClicks(decrypt->passwordField(), "s");
    EXPECT_FALSE(decrypt->wrongPasswordLabel()->isVisibleTo(decrypt));
    window->decryptOkHandler("secret");
    EXPECT_EQ(window->decryptWindow(), nullptr);
    EXPECT_EQ(window->session().cropsRect().size(), 3u);
    EXPECT_EQ(ui().pageAmountField->text(), "/ 3");
    EXPECT_TRUE(navigation(false, false, true, true));
}

TEST_F(SaveFlowsTest, CancellingThePasswordClosesTheWindow) {
    openWithOpener(1, "secret");
    window->showDecryptWindow();
    window->decryptWindow()->reject();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(SaveFlowsTest, AnUneditedWindowClosesWithoutAQuestion) {
    openWithOpener(2);
    EXPECT_TRUE(window->close());
}

TEST_F(SaveFlowsTest, AnEditedWindowAsksWithTheDocumentsName) {
    openWithOpener(2);
    makeEdited();
    EXPECT_FALSE(window->close());
    auto* alert = sheet<QMessageBox>();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(),
              "Do you want to save the changes you made in the document \"doc.pdf\"?");
    EXPECT_EQ(alert->informativeText(), "Your changes will be lost if you don't save them.");
    QStringList buttons;
    for (QAbstractButton* button : alert->buttons())
        buttons << button->text();
    EXPECT_TRUE(buttons.contains("Save As") && buttons.contains("Don't Save") &&
                buttons.contains("Cancel"));
}

TEST_F(SaveFlowsTest, WithoutAPathTheNameIsEmpty) {
    openWithOpener(2);
    makeEdited();
    delegate.path.clear();
    window->close();
    ASSERT_NE(sheet<QMessageBox>(), nullptr);
    EXPECT_TRUE(sheet<QMessageBox>()->text().endsWith("document \"\"?"));
}

TEST_F(SaveFlowsTest, SaveAsThenCancellingThePanelKeepsTheWindowEdited) {
    openWithOpener(2);
    makeEdited();
    window->close();
    auto* alert = sheet<QMessageBox>();
    ASSERT_NE(alert, nullptr);
    for (QAbstractButton* button : alert->buttons())
        if (button->text() == "Save As")
            button->click();
    auto* panel = sheet<QFileDialog>();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->selectedFiles().value(0).section('/', -1), "doc.pdf");
    panel->reject();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_TRUE(opener.opened.isEmpty());
}

TEST_F(SaveFlowsTest, ProgressFollowsThePagesAndTheSavedFileOpensThenTheWindowCloses) {
    openWithOpener(4);
    makeEdited();
    QSignalSpy progress(window.get(), &RMMainWindowController::saveProgressChanged);
    const QString target = dir.filePath("saved.pdf");
    EXPECT_EQ(saveTo(target, true), "");
    std::vector<std::pair<double, qint64>> seen;
    for (const auto& args : progress)
        seen.emplace_back(args[0].toDouble(), args[1].toLongLong());
    const std::vector<std::pair<double, qint64>> expected{{0.0, 0}, {0.0, 1},  {0.25, 2},
                                                          {0.5, 3}, {0.75, 4}, {1.0, 4}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(window->processBarWindow()->labelText(), "4 / 4");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(opener.opened, QStringList{target});
    EXPECT_FALSE(window->isVisible());
    auto saved = QpdfLoader().open(target);
    ASSERT_TRUE(saved.ok());
    EXPECT_LT(saved.document->boundsForBox(0, PdfBox::Crop).width(), 612);
}

TEST_F(SaveFlowsTest, SavingOverTheOpenFileLosesNothing) {
    openWithOpener(3);
    makeEdited();
    const QRectF cropped = window->session().pdfDoc().boundsForBox(0, PdfBox::Crop);
    EXPECT_EQ(saveTo(delegate.path), "");
    EXPECT_EQ(saveTo(delegate.path), ""); // again, from the file it replaced
    auto saved = QpdfLoader().open(delegate.path);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.document->pageCount(), 3);
    const QRectF written = saved.document->boundsForBox(0, PdfBox::Crop);
    EXPECT_NEAR(written.width(), cropped.width(), 1e-5); // files keep six decimals
    EXPECT_NEAR(written.height(), cropped.height(), 1e-5);
}

TEST_F(SaveFlowsTest, AFailedWriteIsReportedAndKeepsTheWindowOpenAndEdited) {
    openWithOpener(2);
    makeEdited();
    const QString error = saveTo(dir.filePath("missing/folder/out.pdf"), true);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_TRUE(opener.opened.isEmpty());
    ASSERT_NE(sheet<QMessageBox>(), nullptr);
    EXPECT_EQ(sheet<QMessageBox>()->informativeText(), error);
}

} // namespace
