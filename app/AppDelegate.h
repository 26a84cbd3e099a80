#pragma once

#include "app/QuitFlow.h"
#include "app/RMRecentOpenCellDelegate.h"
#include "platform/CollectionViewDataSource.h"
#include "platform/CollectionViewDelegate.h"
#include "ui/RMDragDropViewDelegate.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace Ui {
class StartWindow;
} // namespace Ui

class DocumentBase;
class DocumentController;
class RenderWorkplace;
class QAction;
class QMessageBox;
class QWidget;
class RMSettingWindowController;
class RecentFilesMemory;
class UserGuideWindow;

// The application: the start window with the recent-files list, every way of opening a file,
// and the commands that belong to no document.
//
// Files open from the start window's Open button (the first of the chosen files), from a drop
// on its lower area (every dropped file is recorded, the first opens) and from a row of the
// list; the desktop hands over files through openFiles(). Every open goes through the
// document controller, so a file that is open already comes to the front. A file that cannot
// be opened is reported to the user and leaves the list unchanged.
//
// The program runs until the start window closes; closing a document window never quits.
//
// GUI thread only.
class AppDelegate : public QObject,
                    public CollectionViewDataSource,
                    public CollectionViewDelegate,
                    public RMDragDropViewDelegate,
                    public RMRecentOpenCellDelegate {
    Q_OBJECT

public:
    // Documents open, draw and save in workplace.
    AppDelegate(DocumentController& documents, std::shared_ptr<const RenderWorkplace> workplace,
                QObject* parent = nullptr);
    ~AppDelegate() override;

    // Sets up and shows the start window.
    void applicationDidFinishLaunching();
    // Opens files the desktop hands over (the command line, a second launch), by absolute
    // path, and records them in the recent list; none brings the start window to the front.
    void openFiles(const QStringList& paths);

    void clickOpenBtnHandler();
    void dragDropViewFileList(const QStringList& paths) override;
    void clickEditHandler();
    void clickClearHandler();
    void recentFileDidDeleteWithFilePath(const QString& path) override;
    // Brings the start window to the front with its list reloaded.
    void openWindowDelayShow();
    // Selects the first row, scrolled to the top, without opening it.
    void scrollToTop();
    // Opens a file of the recent list, which moves it to the list's end.
    void openRecentFile(const QString& path);
    // The settings window, over the start window.
    void showSettings();
    DocumentController& documents() const { return documents_; }
    void clickUserGuide();
    void clickAboutHandler();
    // Save As of the current document.
    void testPP();
    // Quits: each document window with unsaved work asks about it in turn, then every window
    // closes and the program ends; an answer of "Cancel" keeps it running with its windows.
    void terminate();

    QWidget* openWindow() const { return openWindow_.get(); }
    Ui::StartWindow& ui() { return *ui_; }
    QAction* saveMenuItem() const { return saveMenuItem_; }
    bool isEditState() const { return isEditState_; }

    int numberOfItemsInSection(CollectionView* view, int section) override;
    CollectionViewItem* itemForRepresentedObjectAtIndexPath(CollectionView* view,
                                                            const IndexPath& indexPath) override;
    QSizeF sizeForItemAtIndexPath(CollectionView* view, CollectionViewFlowLayout* layout,
                                  const IndexPath& indexPath) override;
    void didSelectItemsAtIndexPaths(CollectionView* view,
                                    const QSet<IndexPath>& indexPaths) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void windowDidCloseHandler();
    // Reloads the list, which replaces the placeholder once there are entries.
    void refreshInfosList();
    void openRow(int item);
    // Opens path; on success records recorded (path itself when empty) in the list.
    void openAndRecord(const QString& path, const QStringList& recorded);
    void documentOpened(DocumentBase* document);
    // Says why a file could not be opened, in the alert already showing such reasons if there
    // is one.
    void showOpenError(const QString& error);

    DocumentController& documents_;
    std::unique_ptr<Ui::StartWindow> ui_;
    std::unique_ptr<QWidget> openWindow_;
    QAction* saveMenuItem_ = nullptr;
    bool isEditState_ = false;
    QPointer<UserGuideWindow> guide_;
    std::unique_ptr<RMSettingWindowController> settings_;
    std::unique_ptr<RecentFilesMemory> recentMemory_;
    QPointer<QMessageBox> openErrorAlert_;
    QStringList openErrors_;
    QuitFlow quit_;
};
