#include "editor/RMMainWindowController.h"

#include "crop/PageSelection.h"
#include "editor/ContentFitControls.h"
#include "editor/ContentFitter.h"
#include "editor/DocumentNotices.h"
#include "editor/PageDisplay.h"
#include "editor/PageGestures.h"
#include "editor/PagePictures.h"
#include "editor/PageSplitting.h"
#include "editor/PreciseEditing.h"
#include "editor/RMDecryptSheet.h"
#include "editor/RMMainWindowDelegate.h"
#include "editor/SaveFlow.h"
#include "editor/ShownFile.h"
#include "editor/SuperimposedPages.h"
#include "editor/ThumbnailStrip.h"
#include "platform/WindowCascade.h"
#include "range/PageRangeSettings.h"
#include "range/RMPageRangeEditor.h"
#include "range/RMPageRangeWindowController.h"
#include "range/RMSettingWindowController.h"
#include "ui/ScrollBarStyle.h"
#include "ui_RMMainWindowController.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QTimer>
#include <QUndoStack>

#include <functional>
#include <map>

RMMainWindowController::RMMainWindowController(std::unique_ptr<PdfDocument> document,
                                               RMMainWindowDelegate* docDelegate,
                                               std::shared_ptr<const RenderWorkplace> workplace,
                                               QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::RMMainWindowController>()),
      session_(std::make_unique<CropSession>(std::move(document))), docDelegate_(docDelegate),
      pictures_(std::make_unique<PagePictures>(*session_, std::move(workplace))),
      fitter_(std::make_unique<ContentFitter>(*session_)),
      superimposed_(std::make_unique<SuperimposedPages>(*session_)),
      shownFile_(std::make_unique<ShownFile>(*session_, [this] { return documentPath(); })),
      saveFlow_(std::make_unique<SaveFlow>(
          *session_, this, [this] { return documentPath(); }, *shownFile_)) {
    ui_->setupUi(this);
    // Under the top bar.
    notices_ = std::make_unique<DocumentNotices>(*ui_->windowLayout, 1);
    setStyleSheet(styleSheet() + ScrollBarStyle::styleSheet());
    WindowCascade::fitAndPlace(*this, size());
    startRenderQueue();
    windowDidLoad();
}

void RMMainWindowController::startRenderQueue() {
    pictures_->restart();
    fitter_->setMeasurerFactory(pictures_->maker());
    superimposed_->setRasterizerFactory(pictures_->maker());
}

void RMMainWindowController::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Coming back to the window is when a user may have changed the file elsewhere.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isStale())
        fileChangedElsewhere();
}

void RMMainWindowController::fileChangedElsewhere() {
    // A save of this window's own renames its file over the path; what it saved is shown.
    if (saveFlow_->isSaving())
        return;
    notices_->showFileChanged(documentName(), !session_->pdfDoc().fileChangedSinceOpened());
}

bool RMMainWindowController::isStale() const {
    return shownFile_->isStale();
}

QLabel* RMMainWindowController::showDocumentNotice(const QString& notice) {
    return notices_->show(notice);
}

void RMMainWindowController::fitImageCacheToWindow() {
    pictures_->fitCacheTo(ui_->thumbCollectionView->size(), ui_->pageArea->size(),
                          devicePixelRatioF());
}

QString RMMainWindowController::documentPath() const {
    return docDelegate_ ? docDelegate_->localFilePath() : QString();
}

QString RMMainWindowController::documentName() const {
    return QFileInfo(documentPath()).fileName();
}

RMMainWindowController::~RMMainWindowController() {
    // Closing hides the window, which takes the focus from the page field and would end its
    // editing after this object is gone.
    ui_->pageTextField->setDidChangeBlock(nullptr);
    ui_->pageTextField->setDidEndBlock(nullptr);
    ui_->pdfImgView->setDelegate(nullptr);
    // The stack says it is emptied as it goes, after this window's parts are gone.
    session_->undoStack().disconnect(this);
}

void RMMainWindowController::windowDidLoad() {
    setWindowTitle(documentName() + QStringLiteral("[*]"));
    session_->setCurrentIndex(0);
    shownDocument_ = &session_->pdfDoc();
    setUpSaveFlow();
    initialUI();
    startPDFShowing();
    refreshJumpBtnState();
    ui_->pdfImgView->setDelegate(this);
    session_->setStartingPageRange(PageRangeSettings::startingSelection());
    session_->setBatchCrop(false);
    strip_->select(0, false);
    ui_->pageTextField->setDidChangeBlock([this] { pageFieldChanged(); });
    ui_->pageTextField->setDidEndBlock([this] { pageFieldEnded(); });
    QUndoStack& steps = session_->undoStack();
    connect(&steps, &QUndoStack::indexChanged, this, &RMMainWindowController::showEdits);
    refreshCommands();
    connect(shownFile_.get(), &ShownFile::changedElsewhere, this,
            &RMMainWindowController::fileChangedElsewhere);
    shownFile_->watch();
    saveFlow_->unlockLater();
}

void RMMainWindowController::runCommand(WindowCommands::Command command) {
    using Command = WindowCommands::Command;
    using Window = RMMainWindowController;
    // What each command does, to the window or to its page view's zoom.
    const auto zoom = [](void (PageDisplay::*change)()) {
        return [change](Window& window) { ((*window.display_).*change)(); };
    };
    static const std::map<Command, std::function<void(Window&)>> handlers{
        {Command::Done, &Window::saveClickHandler},
        {Command::RevertAll, &Window::cancelClickHandler},
        {Command::FitToContent, &Window::fitToContentClickHandler},
        {Command::FirstPage, &Window::firstJumpClickHandler},
        {Command::PreviousPage, &Window::previousClickHandler},
        {Command::NextPage, &Window::nextClickHandler},
        {Command::LastPage, &Window::lastJumpClickHandler},
        {Command::CustomCrop, &Window::pageCropClickHandler},
        {Command::BatchCrop, &Window::batchCropClickHandler},
        {Command::PageRange, &Window::pageRangeClickHandler},
        {Command::RestoreOriginal, &Window::restoreOriginalClickHandler},
        {Command::SplitPages, [](Window& window) { window.splitting_->begin(); }},
        {Command::SaveAs,
         [](Window& window) { window.saveCurrentDocWithNeedCloseDocAfterFinish(false); }},
        {Command::Settings, &Window::showSettingWindow},
        {Command::ZoomIn, zoom(&PageDisplay::zoomIn)},
        {Command::ZoomOut, zoom(&PageDisplay::zoomOut)},
        {Command::FitPage, zoom(&PageDisplay::fitPage)},
        {Command::FitWidth, zoom(&PageDisplay::fitWidth)},
        {Command::ActualSize, zoom(&PageDisplay::actualSize)},
    };
    handlers.at(command)(*this);
}

void RMMainWindowController::refreshCommands() {
    const bool locked = session_->pdfDoc().isLocked();
    CommandState state;
    state.locked = locked;
    state.saving = saveFlow_->isSaving();
    state.batch = session_->isBatchCrop();
    state.fitting = fitter_->isFitting();
    state.pending = session_->isCroppedSomePage();
    state.applied = session_->hasAppliedCrops();
    state.restorable = !locked && session_->canRestoreOriginal();
    state.index = session_->currentIndex();
    state.count = static_cast<qint64>(session_->cropsRect().size());
    commands_->update(state);
    fitControls_->setBatchMode(!locked && state.batch);
}

void RMMainWindowController::setUpContentFit() {
    fitControls_ = ContentFitControls::inMenuOf(*ui_->fitOptionsBtn);
    connect(fitter_.get(), &ContentFitter::contentKnown, this,
            &RMMainWindowController::contentKnown);
    connect(fitter_.get(), &ContentFitter::fitProgress, this, &RMMainWindowController::fitProgress);
    connect(fitter_.get(), &ContentFitter::fitted, this, &RMMainWindowController::refreshCommands);
}

void RMMainWindowController::setUpPreciseEditing() {
    precise_ = std::make_unique<PreciseEditing>(*session_, *fitter_, *ui_->pdfImgView,
                                                *ui_->cropInspector, *ui_->sizePicker);
    connect(precise_.get(), &PreciseEditing::cropPlaced, this,
            &RMMainWindowController::showCurrentPage);
}

void RMMainWindowController::showCropInForce() {
    precise_->showCropInForce();
}

void RMMainWindowController::initialUI() {
    setUpContentFit();
    setUpPreciseEditing();
    ui_->pdfImgView->setIsCanEdit(true);
    setWindowModified(false);
    commands_ = new WindowCommands(*this, *ui_, session_->undoStack());
    connect(commands_, &WindowCommands::triggered, this, &RMMainWindowController::runCommand);

    strip_ = std::make_unique<ThumbnailStrip>(*ui_->thumbCollectionView, *session_, *pictures_,
                                              *fitter_);
    connect(strip_.get(), &ThumbnailStrip::pagePicked, this,
            &RMMainWindowController::pagePickedInStrip);
    display_ =
        std::make_unique<PageDisplay>(*session_, *pictures_, *fitter_, *superimposed_, *strip_,
                                      *ui_->pdfImgView, *ui_->pageScroll, *ui_->fitStatus);
    connect(display_.get(), &PageDisplay::areaResized, this,
            &RMMainWindowController::fitImageCacheToWindow);
    connect(new PageGestures(*ui_->pageScroll, *ui_->pdfImgView), &PageGestures::zoomBy,
            display_.get(), &PageDisplay::zoomBy);
    connect(commands_, &WindowCommands::superimposeToggled, display_.get(),
            &PageDisplay::setSuperimposing);
    splitting_ = new PageSplitting(*session_, *this, *ui_->pdfImgView);
    connect(splitting_, &PageSplitting::splitChosen, this, [this](const PageSplit& split) {
        // The sheet stays open while the document is written or locked again.
        if (!saveFlow_->isSaving() && !session_->pdfDoc().isLocked())
            session_->splitPages(split);
    });
}

void RMMainWindowController::startPDFShowing() {
    // A locked document has no pages yet: no page number and no count until it is unlocked.
    const bool locked = session_->pdfDoc().isLocked();
    ui_->pageTextField->setText(locked ? QString() : QString::number(session_->currentIndex() + 1));
    ui_->pageAmountField->setText(locked ? QString()
                                         : QString::number(session_->pdfDoc().pageCount()));
    showCurrentPage();
}

void RMMainWindowController::refreshCurrentDoc() {
    // Pictures of the old boxes are no longer wanted.
    pictures_->cancelAll();
    shownDocument_ = &session_->pdfDoc();
    startPDFShowing();
    strip_->reload();
    strip_->select(session_->currentIndex(), false);
}

void RMMainWindowController::showEdits() {
    // "Done" and "Revert All", and undoing them, put another document in the session.
    if (&session_->pdfDoc() != shownDocument_) {
        refreshCurrentDoc();
    } else {
        strip_->reload();
        // Undo and redo go back to the page of the step.
        if (ui_->pageTextField->text() != QString::number(session_->currentIndex() + 1))
            jumpAndSelect(session_->currentIndex());
        else
            showCurrentPage();
    }
    refreshCommands();
    setWindowModified(session_->isEdited());
}

void RMMainWindowController::showCurrentPage() {
    if (!session_->cropsRect().empty()) {
        precise_->pageShown(session_->currentIndex());
        showCropInForce();
    }
    display_->show();
    splitting_->pageShown();
}

void RMMainWindowController::showFirstPageStandIn(const QImage& image) {
    pictures_->setFirstPageStandIn(image);
    if (session_->currentIndex() == 0)
        showCurrentPage();
}

void RMMainWindowController::contentKnown(qint64 index) {
    if (index == session_->currentIndex())
        display_->showContent();
    strip_->showCutsContent(index);
}

void RMMainWindowController::fitToContentClickHandler() {
    if (session_->cropsRect().empty())
        return;
    fitter_->fit(fitControls_->padding(), fitControls_->sameSize());
    refreshCommands();
}

void RMMainWindowController::fitProgress(int measured, int total) {
    ui_->fitStatus->setText(measured < total && total > 1
                                ? tr("Finding the content: %1 of %2 pages").arg(measured).arg(total)
                                : QString());
}

void RMMainWindowController::mainPDFViewJumpWithIndex(qint64 index) {
    session_->setCurrentIndex(index);
    ui_->pageTextField->setText(QString::number(session_->currentIndex() + 1));
    showCurrentPage();
}

void RMMainWindowController::refreshJumpBtnState() {
    refreshCommands();
}

void RMMainWindowController::jumpAndSelect(qint64 index) {
    if (index < 0 || index >= session_->pdfDoc().pageCount())
        return;
    strip_->select(index, true);
    mainPDFViewJumpWithIndex(index);
    refreshJumpBtnState();
}

void RMMainWindowController::firstJumpClickHandler() {
    jumpAndSelect(0);
}

void RMMainWindowController::previousClickHandler() {
    jumpAndSelect(session_->currentIndex() - 1);
}

void RMMainWindowController::nextClickHandler() {
    jumpAndSelect(session_->currentIndex() + 1);
}

void RMMainWindowController::lastJumpClickHandler() {
    jumpAndSelect(session_->pdfDoc().pageCount() - 1);
}

void RMMainWindowController::pageFieldChanged() {
    // An emptied field stays empty, so that typing "3" into it gives 3, not 13.
    if (ui_->pageTextField->text().isEmpty())
        return;
    const qint64 count = session_->pdfDoc().pageCount();
    const qint64 value = std::clamp<qint64>(PageSelection::leadingInt(ui_->pageTextField->text()),
                                            1, std::max<qint64>(count, 1));
    ui_->pageTextField->setText(QString::number(value));
}

void RMMainWindowController::pageFieldEnded() {
    if (ui_->pageTextField->text().isEmpty()) {
        ui_->pageTextField->setText(QString::number(session_->currentIndex() + 1));
        return;
    }
    jumpAndSelect(PageSelection::leadingInt(ui_->pageTextField->text()) - 1);
}

void RMMainWindowController::pageCropClickHandler() {
    chooseCropMode(false);
}

void RMMainWindowController::batchCropClickHandler() {
    chooseCropMode(true);
}

void RMMainWindowController::chooseCropMode(bool batch) {
    if (session_->pdfDoc().isLocked())
        return;
    session_->setBatchCrop(batch);
    refreshCommands();
    showCropInForce();
    strip_->reload();
}

void RMMainWindowController::cropIsFinishedWithRect(const QRectF& rect) {
    session_->cropIsFinishedWithRect(rect);
    // A drag that changed nothing makes no step to redraw the numbers: they would keep what
    // the drag showed, and the next typed value would apply it.
    showCropInForce();
}

void RMMainWindowController::restoreOriginalClickHandler() {
    session_->restoreOriginal();
}

void RMMainWindowController::pageRangeClickHandler() {
    if (session_->pdfDoc().isLocked() || !session_->isBatchCrop())
        return;
    if (!pageRangeCtrl_) {
        pageRangeCtrl_ = new RMPageRangeWindowController(this);
        pageRangeCtrl_->setPageRangeDelegate(this);
    }
    pageRangeCtrl_->setPageAmount(session_->pdfDoc().pageCount());
    // The selection in force, which undo and redo may have changed since the sheet was shown.
    pageRangeCtrl_->editor().setRangeTypeArray(session_->cropPageTypeRangeArray());
    pageRangeCtrl_->rangeWindowWillShow();
    pageRangeCtrl_->open();
}

void RMMainWindowController::applyPageRangeSettingWithPageArray(const QStringList& selection) {
    if (!pageRangeCtrl_)
        return;
    pageRangeCtrl_->hide();
    session_->applyPageRangeSettingWithPageArray(selection);
}

void RMMainWindowController::cancelPageRangeSetting() {
    if (pageRangeCtrl_)
        pageRangeCtrl_->hide();
}

void RMMainWindowController::showSettingWindow() {
    if (!settingWindowCtrl_)
        settingWindowCtrl_ = std::make_unique<RMSettingWindowController>();
    settingWindowCtrl_->showOver(this);
}

void RMMainWindowController::saveClickHandler() {
    session_->done();
}

void RMMainWindowController::cancelClickHandler() {
    session_->revertAll();
}

void RMMainWindowController::pagePickedInStrip(qint64 index) {
    session_->setCurrentIndex(index);
    ui_->pageTextField->setText(QString::number(session_->currentIndex() + 1));
    refreshJumpBtnState();
    showCurrentPage();
}

void RMMainWindowController::showDecryptWindow() {
    saveFlow_->showDecryptWindow();
}

RMDecryptSheet* RMMainWindowController::decryptWindow() const {
    return saveFlow_->decryptWindow();
}

void RMMainWindowController::decryptOkHandler(const QString& password) {
    saveFlow_->decryptOkHandler(password);
}

void RMMainWindowController::decryptCancelHandler() {
    saveFlow_->decryptCancelHandler();
}

void RMMainWindowController::documentUnlocked() {
    // The pages are readable now; the renderer needs the password too.
    session_->rebuildRecords();
    startRenderQueue();
    refreshCurrentDoc();
    refreshCommands();
}

void RMMainWindowController::closeEvent(QCloseEvent* event) {
    if (saveFlow_->mayClose())
        event->accept();
    else
        event->ignore();
}

bool RMMainWindowController::hasUnsavedWork() const {
    return session_->isEdited();
}

RMSaveProgressSheet* RMMainWindowController::processBarWindow() const {
    return saveFlow_->processBarWindow();
}

void RMMainWindowController::saveCurrentDocWithNeedCloseDocAfterFinish(bool closeAfterwards) {
    saveFlow_->saveAsDocWithPath(documentPath(), closeAfterwards);
}

void RMMainWindowController::saveAsDocWithPath(const QString& path, bool closeAfterwards) {
    saveFlow_->saveAsDocWithPath(path, closeAfterwards);
}

void RMMainWindowController::documentSaved(const QString& target) {
    setWindowModified(false);
    // Saved over its own file, the window shows that file again.
    if (shownFile_->savedTo(target))
        notices_->fileSavedOver();
}

void RMMainWindowController::setUpSaveFlow() {
    connect(saveFlow_.get(), &SaveFlow::saveProgressChanged, this,
            &RMMainWindowController::saveProgressChanged);
    connect(saveFlow_.get(), &SaveFlow::saveFinished, this, &RMMainWindowController::saveFinished);
    // Nothing edits the document while it is written.
    connect(saveFlow_.get(), &SaveFlow::saveStarted, this,
            &RMMainWindowController::refreshCommands);
    connect(saveFlow_.get(), &SaveFlow::saveFinished, this,
            &RMMainWindowController::refreshCommands);
    connect(saveFlow_.get(), &SaveFlow::closeRefused, this, &RMMainWindowController::closeRefused);
    connect(saveFlow_.get(), &SaveFlow::saved, this, &RMMainWindowController::documentSaved);
    // A change elsewhere while the window saved is told once the save has ended.
    connect(saveFlow_.get(), &SaveFlow::saveFinished, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (isStale())
                fileChangedElsewhere();
        });
    });
    connect(saveFlow_.get(), &SaveFlow::closeNow, this, &QWidget::close);
    connect(saveFlow_.get(), &SaveFlow::unlocked, this, &RMMainWindowController::documentUnlocked);
}
