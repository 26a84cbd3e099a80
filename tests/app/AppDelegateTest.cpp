// The application as a user meets it: the start window, its ways of opening a file, the
// recent-files list, documents and their windows, the user guide, and quitting.

#include "app/AppDelegate.h"
#include "app/Document.h"
#include "app/RMFileInfosManager.h"
#include "app/RMOpeningWindow.h"
#include "app/RMRecentOpenCell.h"
#include "app/RecentFilesMenu.h"
#include "app/UserGuideWindow.h"
#include "app/WindowListMenu.h"
#include "editor/RMMainWindowController.h"
#include "editor/SaveFlow.h"
#include "platform/CollectionView.h"
#include "platform/DesktopRecentFiles.h"
#include "platform/DocumentController.h"
#include "platform/FileOpener.h"
#include "render/InProcessWorkplace.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"
#include "ui/SecondaryWindow.h"
#include "ui_RMRecentOpenCell.h"
#include "ui_StartWindow.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <memory>

#include <sys/stat.h>

namespace {

struct RecordingOpener : FileOpener {
    QStringList opened;
    void openFile(const QString& path) override { opened << path; }
};

class AppDelegateTest : public testing::Test {
protected:
    void SetUp() override {
        // The recent list a test leaves is not the next one's, though it is kept.
        QSettings().clear();
        store().clearFiles();
        app = std::make_unique<AppDelegate>(documents, std::make_shared<InProcessWorkplace>());
        app->applicationDidFinishLaunching();
        // Tall enough for every row of these tests to be in view.
        app->openWindow()->resize(440, 1100);
    }
    void TearDown() override {
        for (DocumentBase* document : std::vector(documents.documents()))
            for (QWidget* window : document->windowControllers())
                delete window;
        settle();
        app.reset();
        store().clearFiles();
    }

    static RMFileInfosManager& store() { return RMFileInfosManager::sharedInstance(); }
    // Runs what the windows left for after the current event, and lets files being read
    // finish opening.
    void settle() {
        QDeadlineTimer deadline(30000);
        for (int round = 0; !deadline.hasExpired(); ++round) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (round > 2 && !documents.isOpening())
                break;
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    QString pdf(const QString& name) {
        return TestPdfBuilder().addPage({}).writeTo(dir.filePath(name));
    }
    QStringList recorded() const {
        QStringList paths;
        for (const RMFileInfo& info : store().fileInfoArray())
            paths << info.filePath;
        return paths;
    }
    QStringList openFiles() const {
        QStringList paths;
        for (DocumentBase* document : documents.documents())
            paths << document->fileURL();
        return paths;
    }
    CollectionView* list() { return app->ui().recentCollectionView; }
    RMRecentOpenCell* row(int item) {
        return static_cast<RMRecentOpenCell*>(list()->itemAtIndexPath({0, item}));
    }
    void clickRow(int item) {
        const QRect frame = row(item)->view()->geometry();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, frame.center());
        settle();
    }
    void drop(const QStringList& paths) {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        QMimeData data;
        data.setUrls(urls);
        QWidget* area = app->ui().bottomDragView;
        const QPoint centre = area->rect().center();
        // A drop goes to the widget that accepted the drag's entry.
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area, &enter);
        QDropEvent event(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(area, &event);
        settle();
    }
    template <class Window> static Window* shown() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<Window*>(window); found && found->isVisible())
                return found;
        }
        return nullptr;
    }

    std::vector<RMMainWindowController*> editors() const {
        std::vector<RMMainWindowController*> windows;
        for (DocumentBase* document : documents.documents())
            if (auto* doc = qobject_cast<Document*>(document); doc && doc->windowCtrl())
                windows.push_back(doc->windowCtrl());
        return windows;
    }
    static void click(QMessageBox* alert, const QString& answer) {
        for (QAbstractButton* button : alert->buttons())
            if (button->text() == answer)
                button->click();
    }
    // Answers the question on the screen, then lets what it leads to happen.
    void answer(const QString& answer) {
        auto* alert = shown<QMessageBox>();
        ASSERT_NE(alert, nullptr) << answer.toStdString();
        click(alert, answer);
        settle();
    }

    QTemporaryDir dir;
    DocumentController documents;
    std::unique_ptr<AppDelegate> app;
};

TEST_F(AppDelegateTest, OpenPanelOpensAndRecordsOnlyTheFirstChosenFileAndCancelDoesNothing) {
    const QString a = pdf("a.pdf"), b = pdf("b.pdf"), c = pdf("c.pdf");
    app->clickOpenBtnHandler();
    auto* panel = app->openWindow()->findChild<QFileDialog*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->fileMode(), QFileDialog::ExistingFiles);
    panel->reject();
    settle();
    EXPECT_TRUE(openFiles().isEmpty());
    EXPECT_TRUE(recorded().isEmpty());

    app->clickOpenBtnHandler();
    panel = app->openWindow()->findChild<QFileDialog*>();
    ASSERT_NE(panel, nullptr);
    panel->setDirectory(dir.path());
    panel->findChild<QLineEdit*>()->setText("\"a.pdf\" \"b.pdf\" \"c.pdf\"");
    // As the panel's Open button does.
    static_cast<QDialog*>(panel)->accept();
    settle();
    EXPECT_EQ(openFiles(), QStringList{a});
    EXPECT_EQ(recorded(), QStringList{a});
    // The list takes the placeholder's place once it has entries.
    EXPECT_TRUE(list()->isVisibleTo(app->openWindow()));
    EXPECT_FALSE(app->ui().guardView->isVisibleTo(app->openWindow()));
}

TEST_F(AppDelegateTest, ChoosingARowOpensItMovesItLastAndSelectsTheFirstRowAgain) {
    const QStringList files = {pdf("one.pdf"), pdf("Report.final.pdf"), pdf("three.pdf")};
    store().updateFileInfos(files);
    ASSERT_EQ(list()->numberOfItemsInSection(0), 3);
    EXPECT_EQ(row(1)->ui().nameLabel->text(), "Report.final");

    clickRow(1);
    EXPECT_EQ(openFiles(), QStringList{files[1]});
    EXPECT_EQ(recorded(), (QStringList{files[0], files[2], files[1]}));
    EXPECT_EQ(list()->selectionIndexPaths(), (QSet<IndexPath>{{0, 0}}));

    // The first row is selected already; choosing it still opens its file.
    clickRow(0);
    EXPECT_EQ(openFiles(), (QStringList{files[1], files[0]}));
    EXPECT_EQ(recorded().last(), files[0]);
}

// A drop records every file once, at one time, and opens the first. A file that cannot open is
// reported and changes nothing; a named pipe, whose opening would wait for a writer, is refused
// at once. Files that fail together are listed in one alert, and the next file opens.
TEST_F(AppDelegateTest, DropsRecordEachFileOnceAndFilesThatCannotOpenChangeNothing) {
    const QStringList files = {pdf("one.pdf"), pdf("two.pdf"), pdf("Two.pdf")};
    drop(files + QStringList{files[0], files[1]});
    EXPECT_EQ(recorded(), files) << "one entry per exact path";
    const auto& infos = store().fileInfoArray();
    EXPECT_EQ(infos[0].recentUpdateTime, infos[2].recentUpdateTime);
    ASSERT_EQ(list()->numberOfItemsInSection(0), 3);
    EXPECT_EQ(row(1)->ui().nameLabel->text(), "two");

    const QString pipe = dir.filePath("pipe.pdf");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const std::pair<QStringList, const char*> refused[] = {
        {{writeFile(dir.filePath("bad.pdf"), "not a PDF at all"), pdf("other.pdf")}, "bad.pdf"},
        {{pipe}, "not a regular file"}};
    for (const auto& [dropped, reason] : refused) {
        drop(dropped);
        ASSERT_NE(shown<QMessageBox>(), nullptr) << reason;
        EXPECT_TRUE(shown<QMessageBox>()->informativeText().contains(reason)) << reason;
        shown<QMessageBox>()->close();
        EXPECT_EQ(recorded(), files);
        EXPECT_EQ(openFiles(), QStringList{files[0]});
        EXPECT_TRUE(documents.documents()[0]->windowControllers()[0]->isVisible());
    }

    const QString next = pdf("next.pdf");
    app->openFiles({dir.filePath("a.pdf"), next, dir.filePath("b.pdf"), dir.filePath("c.pdf")});
    settle();
    int alerts = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        alerts += qobject_cast<QMessageBox*>(window) && window->isVisible();
    EXPECT_EQ(alerts, 1);
    auto* alert = shown<QMessageBox>();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "3 documents could not be opened.");
    for (const char* name : {"“a.pdf”", "“b.pdf”", "“c.pdf”"})
        EXPECT_TRUE(alert->informativeText().contains(QString::fromUtf8(name))) << name;
    EXPECT_EQ(openFiles(), (QStringList{files[0], next}));
}

// A window stands for the file at once, and the editing window takes its place; the file opened
// again under another spelling comes to the front instead of opening twice.
TEST_F(AppDelegateTest, ADocumentsWindowComesToTheFrontForEverySpellingAndClosingItQuitsNothing) {
    EXPECT_FALSE(app->saveMenuItem()->isEnabled());
    const QString file = pdf("my file 100%.pdf");
    app->openFiles({file});
    ASSERT_NE(shown<RMOpeningWindow>(), nullptr);
    EXPECT_EQ(shown<RMOpeningWindow>()->windowTitle(), "my file 100%.pdf");
    const QRect place = shown<RMOpeningWindow>()->geometry();
    settle();
    EXPECT_EQ(shown<RMOpeningWindow>(), nullptr);
    ASSERT_EQ(documents.documents().size(), 1u);
    auto* document = static_cast<Document*>(documents.documents()[0]);
    RMMainWindowController* window = document->windowCtrl();
    EXPECT_EQ(window->geometry(), place);
    // The name as it is: decoded once would make "100%" unreadable.
    EXPECT_EQ(document->currentFilePath(), "file://" + file);
    // "Done" is there and, with nothing cropped, disabled like its button.
    QAction* done = window->editActions().value(0);
    ASSERT_NE(done, nullptr);
    EXPECT_FALSE(done->isEnabled());
    window->hide();
    QFile::link(file, dir.filePath("link.pdf"));
    app->openFiles({dir.path() + "/./my file 100%.pdf", dir.filePath("link.pdf")});
    settle();
    EXPECT_EQ(documents.documents().size(), 1u);
    EXPECT_TRUE(window->isVisible());

    // Exit code 7 tells that the program was still running after the window closed. (Closing
    // the start window quits: see the quit test.)
    QTimer::singleShot(0, window, &QWidget::close);
    QTimer::singleShot(0, [] { QCoreApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 7);
    settle();
    EXPECT_TRUE(documents.documents().empty());
    EXPECT_TRUE(app->saveMenuItem()->isEnabled());
    EXPECT_TRUE(app->openWindow()->isVisible());
}

// Files opened from the command line are recent files too. Open Recent lists them newest
// first and opens them; the Window menu lists the open windows, its own checked. The list is
// there again after a restart, without the files that have gone since, and every file opened
// is on the desktop's list of recent files.
TEST_F(AppDelegateTest, OpenRecentListsOpenedFilesNewestFirstAndTheListOutlivesARestart) {
    const QString a = pdf("a.pdf"), b = pdf("b.pdf");
    app->openFiles({a});
    settle();
    app->openFiles({b});
    settle();
    ASSERT_EQ(recorded(), (QStringList{a, b}));
    const auto texts = [](QMenu* menu) {
        emit menu->aboutToShow();
        QStringList shown;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                shown << action->text() + (action->isChecked() ? "✓" : "");
        return shown;
    };
    auto* recent = app->openWindow()->findChild<RecentFilesMenu*>();
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(texts(recent), (QStringList{"b.pdf", "a.pdf", "Clear Menu"}));
    ASSERT_EQ(editors().size(), 2u);
    auto* windows = editors()[0]->findChild<WindowListMenu*>();
    ASSERT_NE(windows, nullptr);
    EXPECT_EQ(texts(windows), (QStringList{"Start Window", "a.pdf✓", "b.pdf"}));

    recent->actions().at(1)->trigger();
    settle();
    EXPECT_EQ(recorded(), (QStringList{b, a})) << "chosen again, a is the newest";
    EXPECT_TRUE(QTest::qWaitFor([&] {
        QFile list(DesktopRecentFiles::listPath());
        return list.open(QIODevice::ReadOnly) &&
               list.readAll().contains(QUrl::fromLocalFile(a).toEncoded());
    })) << "a is on the desktop's list";

    for (RMMainWindowController* window : editors())
        window->close();
    settle();
    app.reset();
    store().clearFiles();
    QFile::remove(b);
    app = std::make_unique<AppDelegate>(documents, std::make_shared<InProcessWorkplace>());
    app->applicationDidFinishLaunching();
    // Looked for in the background, the file gone leaves the list.
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorded() == QStringList{a}; }));
    EXPECT_EQ(list()->numberOfItemsInSection(0), 1);
}

// Message boxes are as dark as the windows, their text readable on them.
TEST_F(AppDelegateTest, AboutIsDarkWithReadableText) {
    app->clickAboutHandler();
    auto* about = shown<QMessageBox>();
    ASSERT_NE(about, nullptr);
    const auto luminance = [](QColor c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const QColor background = about->grab().toImage().pixelColor(2, 2);
    EXPECT_LT(luminance(background), 0.05) << background.name().toStdString();
    const QColor text = about->palette().color(QPalette::WindowText);
    EXPECT_GE((luminance(text) + 0.05) / (luminance(background) + 0.05), 7.0);
    about->close();
}

TEST_F(AppDelegateTest, EditModeShowsEveryDeleteButtonAndDeletingAndClearingEmptyTheList) {
    const QStringList files = {pdf("one.pdf"), pdf("two.pdf"), pdf("three.pdf")};
    store().updateFileInfos(files);
    auto deleteButtonsShown = [this] {
        int shown = 0;
        for (int item = 0; item < list()->numberOfItemsInSection(0); ++item)
            shown += row(item)->ui().deleteBtn->isVisibleTo(row(item)->view());
        return shown;
    };
    EXPECT_EQ(deleteButtonsShown(), 0);
    app->clickEditHandler();
    EXPECT_EQ(deleteButtonsShown(), 3);
    // At the row's right end, in its middle.
    settle();
    const QRect button = row(0)->ui().deleteBtn->geometry();
    EXPECT_NEAR(button.center().y(), row(0)->view()->height() / 2, 1);
    EXPECT_GT(button.left(), row(0)->view()->width() * 3 / 4);
    // A row made while editing shows its button too.
    store().updateFileInfo(pdf("four.pdf"));
    EXPECT_EQ(deleteButtonsShown(), 4);

    QTest::mouseClick(row(1)->ui().deleteBtn, Qt::LeftButton);
    settle();
    EXPECT_EQ(recorded(), (QStringList{files[0], files[2], dir.filePath("four.pdf")}));
    EXPECT_TRUE(app->isEditState());
    // Rows after the deleted one change parity, and their backgrounds with it.
    EXPECT_NEAR(row(1)->ui().backView->backColor().alphaF(), 0.05, 1e-3);
    EXPECT_NEAR(row(2)->ui().backView->backColor().alphaF(), 0.1, 1e-3);

    app->clickEditHandler();
    EXPECT_EQ(deleteButtonsShown(), 0);
    app->clickClearHandler();
    EXPECT_EQ(list()->numberOfItemsInSection(0), 0);
    EXPECT_TRUE(app->ui().guardView->isVisibleTo(app->openWindow()));
}

// The settings window shares the guide's close keys.
TEST_F(AppDelegateTest, TheGuideOpensFromTheHelpKeyCentredOverTheWindowAndItsCloseKeysCloseIt) {
    QWidget& start = *app->openWindow();
    // Off the screen's middle, where a window placed without regard to its opener would go.
    const QRect available = start.screen()->availableGeometry();
    start.resize(300, 400);
    start.move(available.center() + QPoint(60, 20) - start.rect().center());
    const auto centre = [](const QWidget& window) {
        return QRectF(window.frameGeometry()).center();
    };
    QList<QKeySequence> keys{QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)};
    keys += QKeySequence::keyBindings(QKeySequence::Close);
    for (const QKeySequence& key : keys) {
        SCOPED_TRACE(key.toString().toStdString());
        start.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&start));
        QTest::keySequence(&start, QKeySequence::HelpContents);
        QPointer<UserGuideWindow> guide = shown<UserGuideWindow>();
        ASSERT_NE(guide, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(guide));
        EXPECT_TRUE(available.contains(guide->frameGeometry()));
        EXPECT_NEAR(centre(*guide).x(), centre(start).x(), 3);
        EXPECT_NEAR(centre(*guide).y(), centre(start).y(), 3);

        QTest::keySequence(guide->viewport(), key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(guide, nullptr);
    }
}

// Where a secondary window such as the guide opens: centred over the window it was opened from,
// never off the screen's free area.
TEST(SecondaryWindow, OpensCentredOverItsParentAndIsMovedInWhereItWouldStickOut) {
    const QRect screen(0, 0, 1000, 800);
    const struct {
        const char* name;
        QSize frame;
        QRect parent;
        QRect available;
        QPoint expected;
    } cases[] = {
        {"centred", {200, 100}, {100, 100, 600, 400}, screen, {300, 250}},
        {"odd leftovers to the top-left", {201, 101}, {0, 0, 600, 400}, screen, {199, 149}},
        {"past the right and bottom edges", {200, 100}, {800, 700, 300, 200}, screen, {800, 700}},
        {"past the left and top edges", {200, 100}, {-300, -200, 200, 100}, screen, {0, 0}},
        {"below a panel at the top", {200, 100}, {0, 0, 200, 100}, {0, 30, 1000, 770}, {0, 30}},
        {"second screen", {200, 100}, {1100, 100, 400, 300}, {1000, 0, 1280, 1024}, {1200, 200}},
        // Its top-left corner in.
        {"larger than the screen", {1200, 900}, {100, 100, 600, 400}, screen, {0, 0}},
    };
    for (const auto& [name, frame, parent, available, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(SecondaryWindow::centredOver(frame, parent, available), expected);
    }
}

// "Don't Save" and a finished "Save As" go on to the next document, and the program ends once
// all are answered; "Cancel" leaves the windows open.
TEST_F(AppDelegateTest, QuitAsksEachUnsavedDocumentInTurnAndCancelStopsIt) {
    app->openFiles({pdf("a.pdf"), pdf("b.pdf"), pdf("c.pdf")});
    settle();
    RecordingOpener opener;
    for (RMMainWindowController* window : editors()) {
        window->saveFlow().setFileOpener(&opener);
        window->session().setCurrentCrop({0, 0, 300, 300});
    }
    app->terminate();
    answer("Don't Save");
    answer("Cancel");
    EXPECT_EQ(editors().size(), 2u);
    EXPECT_TRUE(app->openWindow()->isVisible());
    app->openFiles({pdf("d.pdf")});
    settle();
    editors().back()->saveFlow().setFileOpener(&opener);
    editors().back()->session().setCurrentCrop({0, 0, 300, 300});

    const QString saved = dir.filePath("saved.pdf");
    QStringList script = {"Don't Save", "Save As", "Don't Save"};
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [&] {
        if (auto* panel = shown<QFileDialog>()) {
            // The proposed file, selected in the list, would win over a name typed beside it;
            // and while the name field has the focus, selectFile() leaves its text alone.
            panel->setOption(QFileDialog::DontConfirmOverwrite);
            panel->selectFile(saved);
            panel->findChild<QLineEdit*>("fileNameEdit")->setText(saved);
            QMetaObject::invokeMethod(panel, "accept");
        } else if (auto* alert = shown<QMessageBox>(); alert && !script.isEmpty()) {
            click(alert, script.takeFirst());
        }
    });
    answering.start(10);
    QTimer::singleShot(30000, &answering, [] { QCoreApplication::exit(1); }); // still running
    // Closing the start window quits as the menu's Quit does.
    QTimer::singleShot(0, app->openWindow(), &QWidget::close);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(script.isEmpty());
    EXPECT_EQ(opener.opened, QStringList{saved});
    EXPECT_TRUE(SavedFileCheck::readsCleanly(saved, 1));
}

// Changed by another program, and opened again: the window's unsaved work is at stake.
TEST_F(AppDelegateTest, OpeningAChangedFileAgainOffersToReloadIt) {
    const QString path = pdf("a.pdf");
    app->openFiles({path});
    settle();
    QPointer<RMMainWindowController> first = editors().at(0);
    first->session().setCurrentCrop({0, 0, 300, 300});
    TestPdfBuilder().addPages(3).writeTo(path);
    app->openFiles({path});
    settle();
    auto* alert = shown<QMessageBox>();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->text().contains("was changed by another program"));
    EXPECT_EQ(alert->informativeText(), "The changes you made in this window will be lost.");
    answer("Cancel");
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());

    app->openFiles({path});
    settle();
    answer("Reload");
    ASSERT_EQ(editors().size(), 1u);
    EXPECT_FALSE(first);
    EXPECT_EQ(editors()[0]->session().pdfDoc().pageCount(), 3);
    EXPECT_FALSE(editors()[0]->isStale());
}

} // namespace
