#include "editor/RMDecryptSheet.h"
#include "editor/RMSaveProgressSheet.h"
#include "range/OutputSettings.h"
#include "range/RMEncryptViewController.h"
#include "range/RMOutputSetViewController.h"
#include "range/RMPageRangeEditor.h"
#include "range/RMPageRangeWindowController.h"
#include "range/RMSettingWindowController.h"
#include "render/RenderHostWorkplace.h"
#include "tests/editor/MainWindowFixture.h"
#include "tests/support/CaseName.h"
#include "tests/support/ExpectNear.h"
#include "ui_RMEncryptViewController.h"
#include "ui_RMOutputSetViewController.h"
#include "ui_RMSettingWindowController.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class SaveFlowsTest : public MainWindowTest {
protected:
    // Drags a crop on the current page; with apply, clicks "Done" too.
    void crop(bool apply = true) {
        dragOnPage(viewAt(1, 1), viewAt(0.5, 0.5));
        if (apply)
            click(ui().saveBtn);
    }
    void typePassword(const char* password) {
        QTest::keyClicks(window->decryptWindow()->passwordField(), password);
        click(window->decryptWindow()->doneButton());
    }
};

// Before its password is given a document has no pages: nothing that edits may work on it. A
// wrong password says so until the user types again; the right one shows the pages.
TEST_F(SaveFlowsTest, ALockedDocumentEditsNothingUntilTheRightPassword) {
    open(3, "secret");
    EXPECT_EQ(ui().pageTextField->text(), "") << "no page to number yet";
    EXPECT_EQ(ui().pageAmountField->text(), "");
    const std::vector<QWidget*> editing = {ui().pageCropBtn, ui().batchCropBtn, ui().pageRangeBtn,
                                           ui().fitContentBtn, ui().inspectorPanel};
    for (QWidget* control : editing)
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    window->batchCropClickHandler();
    window->pageRangeClickHandler();
    EXPECT_EQ(window->pageRangeCtrl(), nullptr);

    window->showDecryptWindow();
    RMDecryptSheet* decrypt = window->decryptWindow();
    ASSERT_NE(decrypt, nullptr);
    EXPECT_FALSE(decrypt->wrongPasswordLabel()->isVisibleTo(decrypt));
    typePassword("guess");
    EXPECT_TRUE(decrypt->wrongPasswordLabel()->isVisibleTo(decrypt));
    EXPECT_TRUE(decrypt->passwordField()->text().isEmpty());
    for (QWidget* button : {decrypt->doneButton(), decrypt->cancelButton()})
        EXPECT_GE(button->height(), button->sizeHint().height()) << "squeezed by the message";
    QTest::keyClicks(decrypt->passwordField(), "s");
    EXPECT_FALSE(decrypt->wrongPasswordLabel()->isVisibleTo(decrypt));
    typePassword("ecret");
    EXPECT_EQ(window->decryptWindow(), nullptr);
    EXPECT_EQ(ui().pageTextField->text(), "1");
    EXPECT_EQ(ui().pageAmountField->text(), "3");
    EXPECT_TRUE(navigation(false, false, true, true));
    for (QWidget* control : editing)
        EXPECT_EQ(control->isEnabled(), control != ui().pageRangeBtn)
            << control->objectName().toStdString();
    click(ui().batchCropBtn);
    click(ui().pageRangeBtn);
    ASSERT_NE(window->pageRangeCtrl(), nullptr);
    EXPECT_EQ(window->pageRangeCtrl()->editor().rangeTypeArray(), QStringList{"1 - 3"});
}

// With "Without a password" chosen on the Encrypt page, a document unlocked with its owner
// password is saved unencrypted; unlocked with its user password, it keeps both.
struct PasswordCase {
    const char* name;
    const char* password;
    bool savedLocked;
};

class EncryptSaveTest : public SaveFlowsTest, public testing::WithParamInterface<PasswordCase> {};

TEST_P(EncryptSaveTest, TheOwnerPasswordAloneLetsASaveDropTheEncryption) {
    // Saved as the program saves, by a render host, which is told the choice.
    workplace = std::make_shared<RenderHostWorkplace>(CROPMARK_RENDER_HOST);
    open(2, "user");
    window->showDecryptWindow();
    typePassword(GetParam().password);
    crop();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    RMSettingWindowController* settings = window->settingWindowCtrl();
    ASSERT_NE(settings, nullptr);
    click(settings->ui().encryptSetBtn);
    Ui::RMEncryptViewController& encrypt = settings->encryptSetViewCtrl()->ui();
    EXPECT_TRUE(encrypt.keepsPasswordButton->isChecked()) << "kept at first";
    click(encrypt.removesPasswordButton);
    settings->close();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    const QString target = dir.filePath("saved.pdf");
    QSignalSpy finished(window.get(), &RMMainWindowController::saveFinished);
    ASSERT_EQ(chooseSaveTarget(target), "");
    ASSERT_TRUE(finished.wait(20000));
    ASSERT_EQ(finished[0][0].toString(), "");
    const QByteArray password = GetParam().savedLocked ? "user" : "";
    EXPECT_TRUE(SavedFileCheck::readsCleanly(target, 2, password));
    const auto saved = QpdfLoader().open(target);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.document->isLocked(), GetParam().savedLocked);
}

INSTANTIATE_TEST_SUITE_P(Unlocked, EncryptSaveTest,
                         testing::Values(PasswordCase{"WithTheOwnerPassword", "owner", false},
                                         PasswordCase{"WithTheUserPassword", "user", true}),
                         CaseName());

TEST_F(SaveFlowsTest, CancellingThePasswordClosesTheWindow) {
    open(1, "secret");
    window->showDecryptWindow();
    click(window->decryptWindow()->cancelButton());
    EXPECT_FALSE(window->isVisible());
}

// A drag that crops nothing and a selection of pages change nothing in the file: the window
// closes without a question. The selection is a step to undo all the same.
TEST_F(SaveFlowsTest, AWindowWithoutCropsClosesWithoutAQuestion) {
    open(std::vector<TestPage>(3));
    window->showDecryptWindow();
    EXPECT_EQ(window->decryptWindow(), nullptr) << "a plain file asks for no password";
    dragOnPage(viewAt(1, 0) + QPointF(0, 10), viewAt(1, 0) + QPointF(30, 10));
    click(ui().batchCropBtn);
    click(ui().pageRangeBtn);
    ASSERT_NE(window->pageRangeCtrl(), nullptr);
    window->pageRangeCtrl()->editor().setRangeTypeArray({"+ Odd Pages"});
    window->pageRangeCtrl()->okClickHandler();
    EXPECT_EQ(window->session().undoStack().undoText(), "Page Range");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(ui().saveBtn->isEnabled());
    EXPECT_TRUE(window->close());
}

// A crop only drawn is the user's work as much as one applied. A save the user gives up, or
// one that fails, keeps the window open and edited; "Don't Save" closes it.
TEST_F(SaveFlowsTest, AWindowWithCropsAsksWithTheDocumentsRealNameUntilAnswered) {
    open(2);
    crop(false);
    EXPECT_FALSE(window->close());
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->text(), "Do you want to save the changes you made in the document \"" +
                                   QString::fromUtf8(kFileName) + "\"?");
    EXPECT_EQ(alert()->informativeText(), "Your changes will be lost if you don't save them.");
    QStringList buttons;
    for (QAbstractButton* button : alert()->buttons())
        buttons << button->text();
    EXPECT_TRUE(buttons.contains("Save As") && buttons.contains("Cancel"));
    ASSERT_TRUE(answerCloseQuestion("Save As"));
    auto* panel = window->findChild<QFileDialog*>();
    ASSERT_NE(panel, nullptr);
    // The document's own folder and name, from its "file://" location.
    EXPECT_EQ(panel->selectedFiles().value(0), delegate.path);
    panel->reject();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindowModified());

    const QString error = saveTo(dir.filePath("missing/folder/out.pdf"), true);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_TRUE(opener.opened.isEmpty());
    ASSERT_NE(alert(), nullptr);
    EXPECT_EQ(alert()->informativeText(), error);
    alert()->close();

    // Asked again, without a path: the name is empty.
    delegate.path.clear();
    EXPECT_FALSE(window->close());
    ASSERT_NE(alert(), nullptr);
    EXPECT_TRUE(alert()->text().endsWith("document \"\"?"));
    answerCloseQuestion("Don't Save");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(SaveFlowsTest, ProgressFollowsThePagesAndTheSavedFileOpensThenTheWindowCloses) {
    open(4);
    crop();
    QSignalSpy progress(window.get(), &RMMainWindowController::saveProgressChanged);
    const QString target = dir.filePath("saved.pdf");
    EXPECT_EQ(saveTo(target, true), "");
    std::vector<std::pair<double, qint64>> seen;
    for (const auto& args : progress)
        seen.emplace_back(args[0].toDouble(), args[1].toLongLong());
    // The window shows the newest progress each time it looks, so a quick save may show only
    // its end; what it shows never goes back.
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), std::make_pair(1.0, qint64(4)));
    EXPECT_EQ(window->processBarWindow()->labelText(), "4 / 4");
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(opener.opened, QStringList{target});
    EXPECT_FALSE(window->isVisible());
    auto saved = QpdfLoader().open(target);
    ASSERT_TRUE(saved.ok());
    EXPECT_LT(saved.document->boundsForBox(0, PdfBox::Crop).width(), 612);
}

// The Output settings, chosen in the settings window, act on the next save: the panel proposes
// "name-cropped.pdf" beside the file, the saved file opens in no other program, and it keeps
// no original boxes, not even those an earlier save kept. The page shows the choices as they
// are kept, whichever window made them.
TEST_F(SaveFlowsTest, OutputSettingsChooseTheProposedNameWhetherTheFileOpensAndKeepsOriginals) {
    // Saved as the program saves, by render hosts, which are told the choice.
    workplace = std::make_shared<RenderHostWorkplace>(CROPMARK_RENDER_HOST);
    open(2);
    crop();
    const QString first = dir.filePath("first.pdf");
    ASSERT_EQ(saveTo(first), "");
    ASSERT_TRUE(QpdfLoader().open(first).document->keptOriginalBoxes(0)) << "kept at first";
    EXPECT_EQ(opener.opened, QStringList{first}) << "opened at first";
    opener.opened.clear();
    QFile saved(first);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    openFile(saved.readAll());
    crop();
    // As another window's settings would have left it.
    OutputSettings::setRemovesOutside(true);
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    RMSettingWindowController* settings = window->settingWindowCtrl();
    ASSERT_NE(settings, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settings));
    click(settings->ui().saveSetBtn);
    Ui::RMOutputSetViewController& output = settings->outputSetViewCtrl()->ui();
    ASSERT_TRUE(output.opensSavedFileBox->isVisible());
    EXPECT_TRUE(output.opensSavedFileBox->isChecked()) << "on at first";
    EXPECT_TRUE(output.ownNameButton->isChecked());
    EXPECT_TRUE(output.removesOutsideBox->isChecked());
    EXPECT_TRUE(output.keepsOriginalsBox->isChecked());
    EXPECT_FALSE(output.keepsOriginalsBox->isEnabled()) << "nothing to restore";
    click(output.removesOutsideBox);
    EXPECT_FALSE(OutputSettings::removesOutside());
    EXPECT_TRUE(output.keepsOriginalsBox->isEnabled());
    click(output.opensSavedFileBox);
    click(output.croppedNameButton);
    click(output.keepsOriginalsBox);
    QTest::keyClick(settings, Qt::Key_Escape);
    EXPECT_FALSE(settings->isVisible());

    // As the desktop gives the keys back to the window once the settings window has closed.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keySequence(window.get(), QKeySequence::Save);
    auto* panel = window->findChild<QFileDialog*>();
    ASSERT_NE(panel, nullptr);
    const QString proposed = QString(delegate.path).replace(".pdf", "-cropped.pdf");
    EXPECT_EQ(panel->selectedFiles().value(0), proposed);
    QSignalSpy finished(window.get(), &RMMainWindowController::saveFinished);
    QMetaObject::invokeMethod(panel, "accept");
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(finished[0][0].toString(), "");
    EXPECT_TRUE(SavedFileCheck::readsCleanly(proposed, 2));
    EXPECT_TRUE(opener.opened.isEmpty());
    const auto reopened = QpdfLoader().open(proposed);
    ASSERT_TRUE(reopened.ok());
    EXPECT_FALSE(reopened.document->keptOriginalBoxes(0));
    EXPECT_LT(reopened.document->boundsForBox(0, PdfBox::Crop).width(), 306);
}

// Saved twice, the second time from the file the first save replaced.
TEST_F(SaveFlowsTest, SavingOverTheOpenFileLosesNothingAndLaterChangesAreNoticed) {
    open(3);
    crop();
    const QRectF cropped = window->session().pdfDoc().boundsForBox(0, PdfBox::Crop);
    EXPECT_EQ(saveTo(delegate.path), "");
    EXPECT_EQ(saveTo(delegate.path), ""); // again, from the file it replaced
    EXPECT_FALSE(window->isStale()) << "its own save is no outside change";
    auto saved = QpdfLoader().open(delegate.path);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.document->pageCount(), 3);
    expectNear(saved.document->boundsForBox(0, PdfBox::Crop), cropped, 1e-5); // six decimals
    // The saved file is watched as the opened one was.
    ASSERT_TRUE(QFile(delegate.path).resize(100));
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice() != nullptr; }, 5000));
    EXPECT_TRUE(window->isStale());
}

class ReplacedFileTest : public SaveFlowsTest, public testing::WithParamInterface<const char*> {};

// Another program renames its own file over the open one: the window says so at once, and a
// save over it asks again before that program's version is lost.
TEST_P(ReplacedFileTest, IsToldAtOnceAndSavedOverOnlyOnASecondYes) {
    const QString answer = QString::fromLatin1(GetParam());
    open(3);
    crop();
    const QString other = TestPdfBuilder().addPage({}).writeTo(dir.filePath("other.pdf"));
    ASSERT_EQ(std::rename(QFile::encodeName(other), QFile::encodeName(delegate.path)), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice() != nullptr; }, 5000));
    EXPECT_TRUE(notice()->text().contains("your crops can still be saved"));

    QSignalSpy finished(window.get(), &RMMainWindowController::saveFinished);
    ASSERT_EQ(chooseSaveTarget(delegate.path), "");
    QMessageBox* question = alert();
    ASSERT_TRUE(question);
    EXPECT_TRUE(question->text().contains("was replaced by another program"));
    EXPECT_TRUE(answerCloseQuestion(answer));
    if (answer == "Replace") {
        ASSERT_TRUE(finished.wait(20000));
        EXPECT_EQ(finished[0][0].toString(), "");
        EXPECT_TRUE(SavedFileCheck::readsCleanly(delegate.path, 3));
        EXPECT_FALSE(QTest::qWaitFor([&] { return notice() != nullptr; }, 300))
            << "the window shows its file again";
    } else {
        QCoreApplication::processEvents();
        EXPECT_EQ(finished.count(), 0);
        EXPECT_TRUE(SavedFileCheck::readsCleanly(delegate.path, 1)) << "the other version stays";
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ReplacedFileTest, testing::Values("Replace", "Cancel"));

// Encrypted again with a key of the wrong length, the saved file's page content would not
// decrypt: the save says so and replaces nothing, and the window keeps the crop to save.
TEST_F(SaveFlowsTest, ASaveWhosePagesWouldNotReadBackReplacesNothing) {
    openFile(TestPdfBuilder()
                 .addPages(2, {.content = "0 0 1 rg 100 100 400 500 re f"})
                 .encrypt("", "owner", 128)
                 .layOut({.noKeyLength = true})
                 .bytes());
    crop();
    const QByteArray original = readFile(delegate.path);
    EXPECT_EQ(saveTo(delegate.path),
              "The saved file could not be read back correctly, so nothing was replaced.");
    EXPECT_EQ(readFile(delegate.path), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{kFileName});
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(SaveFlowsTest, ASaveWithNoCropsCopiesTheFileUnchanged) {
    open(2);
    const QString target = dir.filePath("copy.pdf");
    ASSERT_EQ(saveTo(target), "");
    EXPECT_EQ(readFile(target), readFile(delegate.path));
}

// Pending until "Done"; a file never saved cropped offers nothing to restore.
TEST_F(SaveFlowsTest, RestoreOriginalBringsBackTheOpenedBoxesAfterTwoRoundsOfCropping) {
    open({{.mediaBox = QRectF(20, 30, 612, 792), .cropBox = QRectF(40, 50, 500, 700), .rotate = 90},
          {}});
    const auto restore = [this] { return editAction("Restore Original"); };
    ASSERT_TRUE(restore());
    EXPECT_FALSE(restore()->isEnabled());
    const QRectF opened[] = {window->session().pdfDoc().boundsForBox(0, PdfBox::Media), cropBox(0)};
    for (const QString& saved : {dir.filePath("first.pdf"), dir.filePath("second.pdf")}) {
        // Page one's lower half cropped away, applied, saved and reopened.
        dragOnPage(viewAt(1, 0) + QPointF(-1, 1), viewAt(1, 0.5) - QPointF(1, 0));
        pressDone();
        ASSERT_EQ(saveTo(saved), "");
        window.reset();
        openFile(readFile(saved));
        ASSERT_TRUE(restore()->isEnabled());
    }
    restore()->trigger();
    EXPECT_TRUE(ui().saveBtn->isEnabled()) << "pending, like a crop";
    EXPECT_NE(cropBox(0), opened[1]);
    pressDone();
    EXPECT_FALSE(restore()->isEnabled());
    const QString restored = dir.filePath("restored.pdf");
    ASSERT_EQ(saveTo(restored), "");
    auto reread = QpdfLoader().open(restored);
    ASSERT_TRUE(reread.ok());
    EXPECT_EQ(reread.document->boundsForBox(0, PdfBox::Media), opened[0]);
    EXPECT_EQ(reread.document->boundsForBox(0, PdfBox::Crop), opened[1]);
    EXPECT_EQ(reread.document->boundsForBox(1, PdfBox::Crop), QRectF(0, 0, 612, 792));
    EXPECT_FALSE(reread.document->keptOriginalBoxes(0));
}

} // namespace
