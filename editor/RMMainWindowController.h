#pragma once

#include "crop/CropSession.h"
#include "editor/RMDrawDelegate.h"
#include "editor/WindowCommands.h"
#include "range/RMPageRangeInfoDelegate.h"

#include <QWidget>

#include <memory>

namespace Ui {
class RMMainWindowController;
}

class QAction;
class QLabel;
class ContentFitControls;
class ContentFitter;
class RMDecryptSheet;
class RMSaveProgressSheet;
class SaveFlow;
class RMMainWindowDelegate;
class RenderWorkplace;
class RMPageRangeWindowController;
class RMSettingWindowController;
class DocumentNotices;
class PageDisplay;
class PagePictures;
class PageSplitting;
class PreciseEditing;
class ShownFile;
class SuperimposedPages;
class ThumbnailStrip;

// The editing window of one open document: the thumbnail strip, the large page view with the
// crop marker, the crop's numbers and sizes beside it, the crop-mode buttons, page navigation,
// "Done" and "Revert All", and Undo and Redo of every edit (the session's undo stack).
//
// It owns the document's crop state (a CropSession: working and pristine documents, crop
// records, current page, batch mode, selection) and draws pages through a render queue off
// the GUI thread: a page the user jumps to shows at once from the best picture at hand (its
// thumbnail, when drawn) and sharpens when its own picture arrives; thumbnails are drawn only
// for the rows the strip shows.
//
// Saving, the close question and the password sheet are its SaveFlow's; the window cannot be
// changed or closed while a write is under way.
//
// GUI thread only.
class RMMainWindowController : public QWidget,
                               public RMDrawDelegate,
                               public RMPageRangeInfoDelegate {
    Q_OBJECT

public:
    // Takes an opened, readable document. docDelegate (not owned) names its file; pages are
    // drawn and measured in workplace.
    RMMainWindowController(std::unique_ptr<PdfDocument> document, RMMainWindowDelegate* docDelegate,
                           std::shared_ptr<const RenderWorkplace> workplace,
                           QWidget* parent = nullptr);
    ~RMMainWindowController() override;

    CropSession& session() { return *session_; }
    Ui::RMMainWindowController& ui() { return *ui_; }

    void startPDFShowing();
    void refreshCurrentDoc();
    void mainPDFViewJumpWithIndex(qint64 index);
    void refreshJumpBtnState();

    void firstJumpClickHandler();
    void previousClickHandler();
    void nextClickHandler();
    void lastJumpClickHandler();
    void pageCropClickHandler();
    void batchCropClickHandler();
    // "Fit to Content": the current page, in batch mode every selected page too, cropped to
    // its content and the padding chosen beside the button.
    void fitToContentClickHandler();
    ContentFitter& contentFitter() { return *fitter_; }
    // Its padding and "same size for all", in the menu of the button beside it.
    ContentFitControls* fitControls() const { return fitControls_; }
    // "Restore Original": every page of a file saved cropped earlier gets back the boxes it
    // had before, pending until "Done".
    void restoreOriginalClickHandler();
    // "Split Pages…": the sheet in which the user chooses how the current page, or in batch
    // mode every selected page, is split into pages, with the split's lines over the page.
    PageSplitting& pageSplitting() { return *splitting_; }
    // "Page Range": the sheet in which the user chooses the pages a batch crop covers.
    void pageRangeClickHandler();
    RMPageRangeWindowController* pageRangeCtrl() const { return pageRangeCtrl_; }
    // The sheet's answers: a new selection, at once carrying the current page's crop to it,
    // or none.
    void applyPageRangeSettingWithPageArray(const QStringList& selection) override;
    void cancelPageRangeSetting() override;
    // The settings window, made on first use.
    void showSettingWindow();
    RMSettingWindowController* settingWindowCtrl() const { return settingWindowCtrl_.get(); }
    // "Done": applies the pending crops to the pages' boxes.
    void saveClickHandler();
    // "Revert All": goes back to the file as it was opened.
    void cancelClickHandler();

    void cropIsFinishedWithRect(const QRectF& rect) override;

    // Tells the user, above the pages, something about how the document was opened; returns
    // the banner that says it.
    QLabel* showDocumentNotice(const QString& notice);
    // Shows image, the first page as drawn while the file was read, until the window's own
    // picture of it comes, so that the page does not go blank as this window takes over.
    void showFirstPageStandIn(const QImage& image);
    // Whether another program has changed or replaced the file since this window read it (or
    // last saved over it), so that the pages shown are no longer the file's.
    bool isStale() const;

    // The password sheet, shown half a second after loading when the document is locked.
    void showDecryptWindow();
    RMDecryptSheet* decryptWindow() const;
    void decryptOkHandler(const QString& password);
    void decryptCancelHandler();

    // Save As: a save panel, then the write with its progress sheet; the window closes
    // afterwards when closeAfterwards is set.
    void saveCurrentDocWithNeedCloseDocAfterFinish(bool closeAfterwards);
    void saveAsDocWithPath(const QString& path, bool closeAfterwards);
    // Saving, closing and unlocking: the save panel and its write, the close and reload
    // questions, the password sheet.
    SaveFlow& saveFlow() { return *saveFlow_; }
    // Crops applied and not saved, or drawn and not yet applied: closing asks about them.
    bool hasUnsavedWork() const;

    // The window's commands with their keys, for a menu bar (see WindowCommands).
    const QList<QAction*>& editActions() const { return commands_->editActions(); }
    const QList<QAction*>& navigationActions() const { return commands_->navigationActions(); }
    // "Superimpose Pages", checkable: in batch mode the page view shows the selected pages
    // one over another, so that one crop can be dragged around the content of them all.
    const QList<QAction*>& viewActions() const { return commands_->viewActions(); }
    SuperimposedPages& superimposedPages() { return *superimposed_; }
    QAction* saveAsAction() const { return commands_->saveAsAction(); }
    QAction* settingsAction() const { return commands_->settingsAction(); }
    RMSaveProgressSheet* processBarWindow() const;

signals:
    // Every change of the save progress, as the sheet shows it.
    void saveProgressChanged(double value, qint64 page);
    // A save has ended; error is empty when the file was written.
    void saveFinished(const QString& error);
    // A close was asked for and the window stays open: the user cancelled the close question
    // or the save panel it led to, the save failed, or a save is under way.
    void closeRefused();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void windowDidLoad();
    // Another program changed, replaced or removed the file: the banner says what that means.
    void fileChangedElsewhere();
    void initialUI();
    // The fit's options menu and the fitter's signals.
    void setUpContentFit();
    // The crop as numbers beside the page, the size presets, and nudges from the keyboard.
    void setUpPreciseEditing();
    // The numbers of the current page's crop as the session holds it.
    void showCropInForce();
    // Custom or batch crop, as the mode buttons choose.
    void chooseCropMode(bool batch);
    // Every command's enabled state, from the document's state as it is now.
    void refreshCommands();
    void runCommand(WindowCommands::Command command);
    // Shows the current page: its crop's numbers, and the page in the page view.
    void showCurrentPage();
    // Page index, when there is one, in the page view and the strip.
    void jumpAndSelect(qint64 index);
    // The page field's integer, kept between 1 and the page count while the user types.
    void pageFieldChanged();
    void pageFieldEnded();
    // After every edit, undo and redo: the page view, thumbnails and buttons as the session
    // now is.
    void showEdits();
    // Page index's content is measured: its marks may change.
    void contentKnown(qint64 index);
    void fitProgress(int measured, int total);

    // The page the user chose in the thumbnail strip.
    void pagePickedInStrip(qint64 index);
    // Pictures, measures and blends from the working document's current bytes and password.
    void startRenderQueue();
    // Bounds the image cache to the pictures this window's size can show.
    void fitImageCacheToWindow();
    // The document's file as a local path, and its name.
    QString documentPath() const;
    QString documentName() const;

    // The save flow's reports: in the window's title, its notices and its pages.
    void setUpSaveFlow();
    void documentSaved(const QString& target);
    void documentUnlocked();

    std::unique_ptr<Ui::RMMainWindowController> ui_;
    std::unique_ptr<CropSession> session_;
    RMMainWindowDelegate* docDelegate_;
    std::unique_ptr<PagePictures> pictures_;
    std::unique_ptr<ContentFitter> fitter_;
    std::unique_ptr<SuperimposedPages> superimposed_;
    std::unique_ptr<ThumbnailStrip> strip_;
    ContentFitControls* fitControls_ = nullptr;
    // Gone before the session, so that a field whose editing ends as the window goes edits
    // nothing.
    std::unique_ptr<PreciseEditing> precise_;
    std::unique_ptr<PageDisplay> display_;

    // Owned by the window, as its actions are.
    WindowCommands* commands_ = nullptr;
    PageSplitting* splitting_ = nullptr;

    RMPageRangeWindowController* pageRangeCtrl_ = nullptr;
    std::unique_ptr<RMSettingWindowController> settingWindowCtrl_;
    // The working document the thumbnails and page view show.
    const PdfDocument* shownDocument_ = nullptr;
    std::unique_ptr<DocumentNotices> notices_;
    std::unique_ptr<ShownFile> shownFile_;
    // Last: destroyed first, waiting for a write of the session's document under way.
    std::unique_ptr<SaveFlow> saveFlow_;
};
