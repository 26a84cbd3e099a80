#include "app/AppDelegate.h"

#include "app/AppMenuBar.h"
#include "app/Document.h"
#include "app/RMFileInfosManager.h"
#include "app/RMOpeningWindow.h"
#include "app/RMRecentOpenCell.h"
#include "app/RecentFilesMemory.h"
#include "app/UserGuideWindow.h"
#include "editor/RMMainWindowController.h"
#include "platform/BackgroundReads.h"
#include "platform/CollectionView.h"
#include "platform/CollectionViewFlowLayout.h"
#include "platform/DesktopRecentFiles.h"
#include "platform/DocumentController.h"
#include "platform/NotificationCenter.h"
#include "platform/WindowFront.h"
#include "range/RMSettingWindowController.h"
#include "ui/DarkPalette.h"
#include "ui/RMUIConfig.h"
#include "ui/RMUtil.h"
#include "ui/ScrollBarStyle.h"
#include "ui_StartWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace {

constexpr double kRowHeight = 115;

const QString kWindowStyle = QStringLiteral(R"(
    #StartWindow { background: #1e1e1e; }
    CollectionView, CollectionView > QWidget { background: transparent; border: none; }
)");

RMFileInfosManager& store() {
    return RMFileInfosManager::sharedInstance();
}

// The window a sheet of the application sits on: the active window, or the one the active
// dialog sits on (which may be closing), else the start window.
QWidget* sheetParent(QWidget* fallback) {
    QWidget* window = QApplication::activeWindow();
    while (window && window->parentWidget())
        window = window->parentWidget()->window();
    return window ? window : fallback;
}

} // namespace

AppDelegate::AppDelegate(DocumentController& documents,
                         std::shared_ptr<const RenderWorkplace> workplace, QObject* parent)
    : QObject(parent), documents_(documents), ui_(std::make_unique<Ui::StartWindow>()),
      openWindow_(std::make_unique<QWidget>()), quit_(documents) {
    ui_->setupUi(openWindow_.get());
    documents_.setDocumentFactory(
        [workplace = std::move(workplace)] { return std::make_unique<Document>(workplace); });
    connect(&documents_, &DocumentController::documentOpened, this, &AppDelegate::documentOpened);
}

AppDelegate::~AppDelegate() {
    NotificationCenter::defaultCenter().removeObserver(this);
    ui_->recentCollectionView->setDataSource(nullptr);
    ui_->recentCollectionView->setDelegate(nullptr);
    ui_->bottomDragView->setDelegate(nullptr);
}

void AppDelegate::applicationDidFinishLaunching() {
    QApplication::setQuitOnLastWindowClosed(false);
    // Dialogs, message boxes and menus dark like the windows, not light inside them.
    DarkPalette::apply();
    QWidget* window = openWindow_.get();
    window->setWindowTitle(RMUtil::productName());
    window->setStyleSheet(kWindowStyle + ScrollBarStyle::styleSheet());
    window->installEventFilter(this);

    recentMemory_ = std::make_unique<RecentFilesMemory>(store());
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, Document::kWindowCloseNotification,
                       [this](const Notification&) { windowDidCloseHandler(); });
    center.addObserver(this, RMFileInfosManager::kUpdateNotification,
                       [this](const Notification&) { refreshInfosList(); });

    CollectionView* list = ui_->recentCollectionView;
    RMRecentOpenCell::setUpList(list, this, this);
    // Arrow keys would open every file they pass over.
    list->setFocusPolicy(Qt::NoFocus);
    list->collectionViewLayout()->minimumLineSpacing = 0;
    list->collectionViewLayout()->sectionInset = QMarginsF();
    connect(list, &CollectionView::selectedItemPressed, this,
            [this](const IndexPath& indexPath) { openRow(indexPath.item); });

    list->hide();
    ui_->guardView->show();

    ui_->topBackView->setViewCorner(10);
    ui_->topBackView->setBackColor(QColor(0x26, 0x26, 0x26));
    ui_->bottomBackView->setViewCorner(10);
    ui_->bottomBackView->setBackColor(QColor(0x26, 0x26, 0x26));
    ui_->bottomDragView->setViewCorner(8);
    ui_->bottomDragView->setBackColor(QColor(0x2f, 0x2f, 0x2f));
    ui_->bottomDragView->setDelegate(this);

    RMUIConfig& style = RMUIConfig::sharedInstance();
    style.configButton(ui_->addBtn, QStringLiteral("OpenPanel_Save_Btn"));
    style.configButton(ui_->editBtn, QStringLiteral("OpenPanel_Edit_Btn"));
    style.configButton(ui_->clearBtn, QStringLiteral("OpenPanel_Clear_Btn"));
    ui_->addBtn->setToolTip(
        tr("Open PDF files (%1)")
            .arg(QKeySequence(QKeySequence::Open).toString(QKeySequence::NativeText)));
    ui_->editBtn->setToolTip(tr("Remove files from the list"));
    ui_->clearBtn->setToolTip(tr("Clear the list"));
    connect(ui_->addBtn, &SWSTAnswerButton::clicked, this, &AppDelegate::clickOpenBtnHandler);
    connect(ui_->editBtn, &SWSTAnswerButton::clicked, this, &AppDelegate::clickEditHandler);
    connect(ui_->clearBtn, &SWSTAnswerButton::clicked, this, &AppDelegate::clickClearHandler);

    // Nothing to save until a document is open.
    saveMenuItem_ = new QAction(tr("Save As…"), this);
    // Spelled out: desktops without a key scheme of their own have no standard Save As key.
    saveMenuItem_->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    saveMenuItem_->setEnabled(false);
    connect(saveMenuItem_, &QAction::triggered, this, &AppDelegate::testPP);
    window->layout()->setMenuBar(new AppMenuBar(*this, saveMenuItem_, nullptr, window));

    refreshInfosList();
    isEditState_ = false;
    scrollToTop();
    window->show();
    window->move(window->screen()->availableGeometry().center() - window->rect().center());
}

void AppDelegate::openFiles(const QStringList& paths) {
    if (paths.isEmpty()) {
        openWindowDelayShow();
        return;
    }
    // Files from the command line and a second start, absolute paths already, are recent
    // files like any other.
    for (const QString& path : paths)
        openAndRecord(path, {path});
}

void AppDelegate::clickOpenBtnHandler() {
    auto* panel = new QFileDialog(sheetParent(openWindow_.get()), tr("Open"));
    panel->setFileMode(QFileDialog::ExistingFiles);
    panel->setNameFilter(tr("PDF documents (*.pdf)"));
    panel->setWindowModality(Qt::WindowModal);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    // Only the first chosen file opens.
    connect(panel, &QFileDialog::filesSelected, this, [this](const QStringList& files) {
        if (!files.isEmpty())
            openAndRecord(files.first(), {files.first()});
    });
    panel->open();
}

void AppDelegate::dragDropViewFileList(const QStringList& paths) {
    if (paths.isEmpty())
        return;
    // After the drop has ended, so the desktop's drag does not wait for the file to load.
    QTimer::singleShot(0, this, [this, paths] { openAndRecord(paths.first(), paths); });
}

void AppDelegate::didSelectItemsAtIndexPaths(CollectionView*, const QSet<IndexPath>& indexPaths) {
    if (!indexPaths.isEmpty())
        openRow(indexPaths.begin()->item);
}

void AppDelegate::openRow(int item) {
    // After the press has ended: opening reloads the list the press is still in.
    QTimer::singleShot(0, this, [this, item] {
        const auto& infos = store().fileInfoArray();
        if (item < 0 || item >= int(infos.size()))
            return;
        openRecentFile(infos[size_t(item)].filePath);
    });
}

void AppDelegate::openRecentFile(const QString& path) {
    documents_.openDocumentWithContentsOfURL(
        path, true, [self = QPointer(this), path](DocumentBase* document, const QString& error) {
            if (!self)
                return;
            // Opened last, so it goes to the end of the oldest-first list.
            if (document)
                store().updateFileInfo(path);
            else
                self->showOpenError(error);
            self->scrollToTop();
        });
}

void AppDelegate::showSettings() {
    if (!settings_)
        settings_ = std::make_unique<RMSettingWindowController>();
    settings_->showOver(openWindow_.get());
}

void AppDelegate::openAndRecord(const QString& path, const QStringList& recorded) {
    documents_.openDocumentWithContentsOfURL(
        path, true,
        [self = QPointer(this), recorded](DocumentBase* document, const QString& error) {
            // The file is read off the GUI thread; the application may be ending meanwhile.
            if (!self)
                return;
            if (!document)
                self->showOpenError(error);
            else if (recorded.size() == 1)
                store().updateFileInfo(recorded.first());
            else
                store().updateFileInfos(recorded);
        });
}

void AppDelegate::showOpenError(const QString& error) {
    // Files given together fail together: one alert lists them all, however many there are.
    if (openErrorAlert_ && openErrorAlert_->isVisible()) {
        openErrors_.append(error);
        openErrorAlert_->setText(
            tr("%n documents could not be opened.", "", int(openErrors_.size())));
        openErrorAlert_->setInformativeText(openErrors_.join(QStringLiteral("\n\n")));
        return;
    }
    openErrors_ = QStringList{error};
    // Not on a window that stands for a file being read: it closes when the file has opened,
    // and would take the alert with it.
    QWidget* parent = sheetParent(openWindow_.get());
    if (qobject_cast<RMOpeningWindow*>(parent))
        parent = openWindow_->isVisible() ? openWindow_.get() : nullptr;
    openErrorAlert_ =
        new QMessageBox(QMessageBox::Warning, RMUtil::productName(),
                        tr("The document could not be opened."), QMessageBox::Ok, parent);
    openErrorAlert_->setInformativeText(error);
    openErrorAlert_->setWindowModality(Qt::WindowModal);
    openErrorAlert_->setAttribute(Qt::WA_DeleteOnClose);
    openErrorAlert_->open();
}

void AppDelegate::documentOpened(DocumentBase* document) {
    // Off the GUI thread: the desktop's list sits in the home folder, which may be slow.
    BackgroundReads::start([path = document->fileURL()] {
        DesktopRecentFiles::add(path, RMUtil::productName(), QStringLiteral("'cropmark' %u"));
        return std::function<void()>();
    });
    RMMainWindowController* window = static_cast<Document*>(document)->windowCtrl();
    if (window)
        window->layout()->setMenuBar(new AppMenuBar(*this, window->saveAsAction(), window, window));
    if (saveMenuItem_)
        saveMenuItem_->setEnabled(true);
}

void AppDelegate::clickEditHandler() {
    isEditState_ = !isEditState_;
    RMUIConfig::sharedInstance().changeBtn(ui_->editBtn, isEditState_ ? QStringLiteral("not_edit")
                                                                      : QStringLiteral("edit"));
    NotificationCenter::defaultCenter().post(RMRecentOpenCell::kEditNotification, nullptr,
                                             isEditState_);
}

void AppDelegate::clickClearHandler() {
    store().clearFiles();
}

void AppDelegate::recentFileDidDeleteWithFilePath(const QString& path) {
    // After the click: the list reloads, and the row's button is still being pressed.
    QTimer::singleShot(0, this, [path] { store().removeFileInfo(path); });
}

void AppDelegate::openWindowDelayShow() {
    WindowFront::bring(*openWindow_);
    openWindow_->activateWindow();
    refreshInfosList();
}

void AppDelegate::scrollToTop() {
    CollectionView* list = ui_->recentCollectionView;
    if (list->numberOfItemsInSection(0) > 0)
        list->selectItemsAtIndexPaths({IndexPath{0, 0}}, CollectionView::ScrollPosition::Top);
}

void AppDelegate::refreshInfosList() {
    CollectionView* list = ui_->recentCollectionView;
    list->reloadData();
    const bool hasEntries = !store().fileInfoArray().empty();
    list->setVisible(hasEntries);
    ui_->guardView->setVisible(!hasEntries);
}

void AppDelegate::windowDidCloseHandler() {
    saveMenuItem_->setEnabled(true);
}

void AppDelegate::clickUserGuide() {
    if (!guide_) {
        guide_ = new UserGuideWindow;
        guide_->setAttribute(Qt::WA_DeleteOnClose);
    }
    guide_->showOver(sheetParent(openWindow_.get()));
}

void AppDelegate::clickAboutHandler() {
    auto* about = new QMessageBox(sheetParent(openWindow_.get()));
    about->setWindowTitle(tr("About %1").arg(RMUtil::productName()));
    about->setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    about->setText(QStringLiteral("<b>%1</b> %2")
                       .arg(RMUtil::productName(), QApplication::applicationVersion()));
    about->setInformativeText(
        tr("Crops the pages of PDF files by changing their page boxes: nothing is drawn "
           "again, so text stays text and the file keeps its links, outlines and forms."));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowModality(Qt::WindowModal);
    about->open();
}

void AppDelegate::testPP() {
    if (DocumentBase* document = documents_.currentDocument())
        document->saveDocumentAs();
}

void AppDelegate::terminate() {
    quit_.start();
}

int AppDelegate::numberOfItemsInSection(CollectionView*, int) {
    return int(store().fileInfoArray().size());
}

CollectionViewItem* AppDelegate::itemForRepresentedObjectAtIndexPath(CollectionView* view,
                                                                     const IndexPath& indexPath) {
    auto* cell = static_cast<RMRecentOpenCell*>(
        view->makeItemWithIdentifier(RMRecentOpenCell::kIdentifier, indexPath));
    cell->setRecentDelegate(this);
    const RMFileInfo& info = store().fileInfoArray()[size_t(indexPath.item)];
    cell->updateWithFilePath(info.filePath, indexPath.item, isEditState_, info.recentUpdateTime);
    return cell;
}

QSizeF AppDelegate::sizeForItemAtIndexPath(CollectionView* view, CollectionViewFlowLayout*,
                                           const IndexPath&) {
    return QSizeF(view->viewport()->width(), kRowHeight);
}

bool AppDelegate::eventFilter(QObject* watched, QEvent* event) {
    // Closing the start window quits. It stays open until the quit goes ahead, so a quit
    // stopped at a document's question leaves the program as it was.
    if (watched == openWindow_.get() && event->type() == QEvent::Close) {
        terminate();
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
