#include "platform/CollectionView.h"
#include "platform/CollectionViewItem.h"
#include "range/RMPageRangeEditor.h"
#include "range/RMPageRangeViewController.h"
#include "range/RMPageRangeWindowController.h"
#include "range/RMSettingWindowController.h"
#include "render/ProcessRasterizer.h"
#include "render/RenderHostWorkplace.h"
#include "render/RenderQueue.h"
#include "tests/editor/MainWindowFixture.h"
#include "tests/support/ExpectNear.h"
#include "ui/RMTextField.h"
#include "ui_RMPageRangeViewController.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <unistd.h>

namespace {

const QRectF kLetter(0, 0, 612, 792);

// A thumbnail, the navigation keys and the page field turn pages, never past either end.
TEST_F(MainWindowTest, OpensOnPageOneAndTurnsPagesWithinTheDocument) {
    open(5);
    EXPECT_EQ(ui().pageTextField->text(), "1");
    EXPECT_EQ(ui().pageAmountField->text(), "5");
    EXPECT_TRUE(navigation(false, false, true, true));
    EXPECT_EQ(selectedThumbnail(), 0);
    EXPECT_FALSE(ui().saveBtn->isEnabled());
    EXPECT_FALSE(ui().cancelBtn->isEnabled());
    EXPECT_FALSE(ui().pageRangeBtn->isEnabled());
    EXPECT_TRUE(ui().pageCropBtn->isSelected());
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("my file é 100%.pdf[*]"));

    auto* item = ui().thumbCollectionView->itemAtIndexPath(IndexPath{0, 1});
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(item->view(), Qt::LeftButton, {}, item->view()->rect().center());
    EXPECT_EQ(ui().pageTextField->text(), "2");
    EXPECT_TRUE(navigation(true, true, true, true));
    QTest::keyClick(window.get(), Qt::Key_PageUp);
    QTest::keyClick(window.get(), Qt::Key_PageUp);
    EXPECT_EQ(current(), 0);
    QTest::keyClick(window.get(), Qt::Key_End);
    QTest::keyClick(window.get(), Qt::Key_Right);
    EXPECT_EQ(current(), 4);
    EXPECT_EQ(ui().pageTextField->text(), "5");
    EXPECT_TRUE(navigation(true, true, false, false));
    QTest::keyClick(window.get(), Qt::Key_Left);
    EXPECT_EQ(selectedThumbnail(), 3);

    RMTextField* field = ui().pageTextField;
    field->setFocus();
    // Typed into the emptied field: what the field then shows.
    const std::pair<const char*, const char*> typed[] = {
        {"0", "1"}, {"99", "5"}, {"3a", "3"}, {"", ""}, {"2", "2"}};
    for (const auto& [keys, shown] : typed) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, keys);
        EXPECT_EQ(field->text(), shown) << keys;
    }
    EXPECT_EQ(current(), 3) << "no jump while typing";
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(selectedThumbnail(), 1);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(field->text(), "2") << "an empty field ends on the page it was on";
    EXPECT_EQ(current(), 1);
}

} // namespace

// The sheet's Done carries the current crop to the pages chosen at once.
TEST_F(MainWindowTest, BatchModeChoosesPagesWithTheSheetAndKeepsThem) {
    open(3);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    click(ui().batchCropBtn);
    // Only the chosen mode looks chosen: a focus ring marks neither button after a click.
    for (QWidget* button : {ui().pageCropBtn, ui().batchCropBtn}) {
        const QImage shown = button->grab().toImage();
        button->clearFocus();
        EXPECT_EQ(shown, button->grab().toImage()) << button->objectName().toStdString();
    }
    EXPECT_TRUE(window->session().isBatchCrop());
    EXPECT_FALSE(ui().pageCropBtn->isSelected());
    click(ui().pageRangeBtn);
    RMPageRangeWindowController* sheet = window->pageRangeCtrl();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(sheet->isVisible());
    sheet->editor().setRangeTypeArray({"2 - 3"});
    QTest::keyClick(sheet, Qt::Key_Return);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(window->session().cropPageTypeRangeArray(), QStringList{"2 - 3"});
    EXPECT_EQ(batchMarks(), (std::vector<bool>{false, true, true})) << "the strip shows the batch";
    // Page 1 was never cropped: the pages of its size stay whole, the taller third page
    // gets the same crop fitted to it.
    expectNear(crop(1), QRectF(0, 0, 612, 792));
    expectNear(crop(2), QRectF(0, 216, 612, 792));
    EXPECT_TRUE(ui().saveBtn->isEnabled());

    click(ui().pageCropBtn);
    EXPECT_FALSE(window->session().isBatchCrop());
    EXPECT_FALSE(ui().pageRangeBtn->isEnabled());
    EXPECT_EQ(batchMarks(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(window->session().cropPageTypeRangeArray(), QStringList{"2 - 3"});
}

// The Page Range page of the settings chooses the pages every window's batch crops start from:
// its Done keeps the choice for the next window, its Cancel shows the kept one again.
TEST_F(MainWindowTest, TheSettingsPageRangeIsWhereTheNextWindowsBatchCropsStart) {
    open(4);
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    ASSERT_NE(window->settingWindowCtrl(), nullptr);
    RMPageRangeViewController* page = window->settingWindowCtrl()->pageSetViewCtrl();
    ASSERT_TRUE(page->isVisible());
    EXPECT_TRUE(page->editor().rangeTypeArray().isEmpty()) << "all pages at first";
    page->editor().setRangeTypeArray({"2 - 3"});
    click(page->ui().okBtn);
    page->editor().setRangeTypeArray({"1 - 1"});
    click(page->ui().cancelBtn);
    EXPECT_EQ(page->editor().rangeTypeArray(), QStringList{"2 - 3"});

    open(4);
    EXPECT_EQ(window->session().cropPageTypeRangeArray(), QStringList{"2 - 3"});
    click(ui().batchCropBtn);
    dragOnPage(viewAt(1, 1), viewAt(0.5, 0.5));
    EXPECT_LT(crop(0).width(), 612) << "the page dragged on";
    EXPECT_LT(crop(1).width(), 612);
    EXPECT_LT(crop(2).width(), 612);
    EXPECT_EQ(crop(3), QRectF(0, 0, 612, 792)) << "not in the batch";
}

TEST_F(MainWindowTest, APageThatCannotBeDrawnSaysSoInsteadOfStayingWhite) {
    QString bytes = QString::fromLatin1(
        TestPdfBuilder().addPages(2, {.content = "0 0 1 rg 0 0 612 792 re f"}).bytes());
    // The first page's object is lost to a string; no reader can draw that page.
    const auto first = QRegularExpression(R"(\d+ 0 obj\s*(<<\s*/Contents))").match(bytes);
    bytes.insert(first.capturedStart(1), "(lost) ");
    openFile(bytes.toLatin1());
    EXPECT_TRUE(pageViewComesToShow(QColor(0xEE, 0xEE, 0xEE))) << "the placeholder, not white";
}

TEST_F(MainWindowTest, AnotherProgramCuttingTheFileShortIsToldAtOnce) {
    open(3);
    QFile file(delegate.path);
    ASSERT_TRUE(file.resize(file.size() / 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice() != nullptr; }, 5000));
    EXPECT_TRUE(notice()->text().contains("its crops can no longer be saved"));
}

// As the shipped program works: the file read, its pages drawn and the save written and read
// back in render hosts. What could be read of a page whose content has errors shows, with a
// note.
TEST_F(MainWindowTest, InRenderHostsAPageIsDrawnCroppedAndSaved) {
    workplace = std::make_shared<RenderHostWorkplace>(CROPMARK_RENDER_HOST);
    open({{.content = "1 0 0 rg 0 0 612 792 re f 1 2 3 zork"}, blockPage(kLetter, kLetter)});
    ASSERT_TRUE(pageViewComesToShow(Qt::red));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return ui().pdfImgView->toolTip().startsWith("Parts of this page could not be read");
        },
        10000))
        << ui().pdfImgView->toolTip().toStdString();
    const QImage view = ui().pdfImgView->grab().toImage();
    EXPECT_NE(view.pixelColor(view.width() / 2, view.height() - 5), QColor(Qt::red))
        << "the note over the page's foot";
    dragOnPage(viewAt(1, 1), viewAt(0.5, 0.5));
    pressDone();
    const QRectF crop = window->session().pdfDoc().boundsForBox(0, PdfBox::Crop);
    ASSERT_LT(crop.width(), 612);
    const QString target = dir.filePath("cropped.pdf");
    ASSERT_EQ(saveTo(target), "");
    const auto saved = QpdfLoader().open(target);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.document->boundsForBox(0, PdfBox::Crop), crop);
    EXPECT_EQ(saved.document->boundsForBox(1, PdfBox::Crop), kLetter);
}

// The first page as the opening window drew it stands in while the editor draws its own, so
// the page never goes blank as the editor takes over.
TEST_F(MainWindowTest, TheOpeningWindowsFirstPageStandsInUntilTheEditorsIsDrawn) {
    const QString host = writeFile(dir.filePath("slow-host"),
                                   "#!/bin/sh\nsleep 1\nexec " CROPMARK_RENDER_HOST " \"$@\"\n");
    QFile::setPermissions(host, QFile::ReadOwner | QFile::ExeOwner);
    workplace = std::make_shared<RenderHostWorkplace>(host);
    open({blockPage(kLetter, kLetter, 0, {}, "0 0 1 rg")});
    QImage standIn(61, 79, QImage::Format_RGB32);
    standIn.fill(Qt::red);
    window->showFirstPageStandIn(standIn);
    EXPECT_TRUE(pageViewComesToShow(Qt::red));
    EXPECT_TRUE(pageViewComesToShow(Qt::blue));
}

// Stops or continues every render host of this process that draws pages, and counts them.
int signalDrawingHosts(int signal) {
    int hosts = 0;
    QDirIterator processes(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (processes.hasNext()) {
        const QString process = processes.next();
        QFile status(process + QStringLiteral("/stat"));
        QFile command(process + QStringLiteral("/cmdline"));
        if (!status.open(QIODevice::ReadOnly) || !command.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid ...
        const QList<QByteArray> fields = status.readAll().split(')').value(1).split(' ');
        const QList<QByteArray> arguments = command.readAll().split('\0');
        // The other jobs name their task first.
        if (fields.value(2).toInt() == getpid() && arguments.value(0) == CROPMARK_RENDER_HOST &&
            arguments.value(1) == "--memory-mb")
            hosts += kill(QFileInfo(process).fileName().toInt(), signal) == 0;
    }
    return hosts;
}

// A renderer that froze costs the page once: the window says it is drawing it, then why it
// could not, and the page draws in a new renderer when it is shown again.
TEST_F(MainWindowTest, APageWhoseRendererFrozeIsDrawnWhenShownAgain) {
    // Without the file's rewrite to draw from instead, the page waits for a renderer.
    const QString host =
        writeFile(dir.filePath("host-without-rewrites"), "#!/bin/sh\n"
                                                         "[ \"$1\" = --rewrite ] && exit 1\n"
                                                         "exec " CROPMARK_RENDER_HOST " \"$@\"\n");
    QFile::setPermissions(host, QFile::ReadOwner | QFile::ExeOwner);
    workplace = std::make_shared<RenderHostWorkplace>(host, ProcessRasterizer::Limits{2500, 4096});
    open({blockPage(kLetter, kLetter, 0, {}, "1 0 0 rg"),
          blockPage(kLetter, kLetter, 0, {}, "0 0 1 rg"), blockPage(kLetter, kLetter)});
    ASSERT_TRUE(pageViewComesToShow(Qt::red));
    // Every worker's host, not only the page view's, or page 2 may go to one not yet started.
    ASSERT_TRUE(QTest::qWaitFor(
        [] { return signalDrawingHosts(0) >= RenderQueue::defaultWorkerCount(); }, 30000));
    signalDrawingHosts(SIGSTOP);
    click(ui().nextBtn);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui().fitStatus->text() == "Drawing page 2…"; }, 2400));
    ASSERT_TRUE(pageViewComesToShow(QColor(0xEE, 0xEE, 0xEE)));
    EXPECT_TRUE(ui().pdfImgView->toolTip().contains("took too long"))
        << ui().pdfImgView->toolTip().toStdString();
    EXPECT_EQ(ui().fitStatus->text(), "");
    signalDrawingHosts(SIGCONT);
    click(ui().nextBtn);
    click(ui().previousBtn);
    EXPECT_TRUE(pageViewComesToShow(Qt::blue));
}

TEST_F(MainWindowTest, RenderHostsThatCrashCostOnlyThePicturesAndTheCropsStay) {
    // Hosts that read and save as the real one does, and crash as soon as they start to draw.
    const QString host = writeFile(dir.filePath("crashing-host"),
                                   "#!/bin/sh\n"
                                   "case \"$1\" in --read-pages|--save) exec " CROPMARK_RENDER_HOST
                                   " \"$@\";; esac\n"
                                   "kill -SEGV $$\n");
    QFile::setPermissions(host, QFile::ReadOwner | QFile::ExeOwner);
    workplace = std::make_shared<RenderHostWorkplace>(host);
    open(3);
    dragOnPage({0, 0}, {100, 100});
    const QRectF crop = window->session().cropsRect()[0].cropRect;
    window->saveClickHandler();
    EXPECT_TRUE(pageViewComesToShow(QColor(0xEE, 0xEE, 0xEE))) << "the placeholder, not white";
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->session().pdfDoc().boundsForBox(0, PdfBox::Crop), crop);
}
