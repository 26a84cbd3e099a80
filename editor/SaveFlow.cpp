#include "editor/SaveFlow.h"

#include "crop/CropSession.h"
#include "crop/PdfWriteNotifications.h"
#include "editor/RMDecryptSheet.h"
#include "editor/RMSaveProgressSheet.h"
#include "editor/ShownFile.h"
#include "platform/DesktopFileOpener.h"
#include "platform/NotificationCenter.h"
#include "range/EncryptSettings.h"
#include "range/OutputSettings.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>

namespace {

// Delays of the password sheet after loading and of ending a finished progress sheet.
constexpr int kSheetDelayMs = 500;

// A message on window as a sheet: window-modal, and gone once answered.
QMessageBox* sheetAlert(QWidget* window, QMessageBox::Icon icon, const QString& text,
                        const QString& informative,
                        QMessageBox::StandardButtons buttons = QMessageBox::NoButton) {
    auto* alert = new QMessageBox(icon, QString(), text, buttons, window);
    alert->setInformativeText(informative);
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    return alert;
}

} // namespace

SaveFlow::SaveFlow(CropSession& session, QWidget* window, std::function<QString()> documentPath,
                   const ShownFile& shownFile)
    : session_(session), window_(window), documentPath_(std::move(documentPath)),
      shownFile_(shownFile), processBarWindow_(new RMSaveProgressSheet(window)),
      desktopOpener_(std::make_unique<DesktopFileOpener>()), fileOpener_(desktopOpener_.get()) {
    addDocProcessObserver();
}

SaveFlow::~SaveFlow() = default;

QString SaveFlow::documentName() const {
    return QFileInfo(documentPath_()).fileName();
}

bool SaveFlow::mayClose() {
    if (saving_) {
        emit closeRefused();
        return false;
    }
    if (closeConfirmed_ || !session_.isEdited())
        return true;
    askBeforeClosing();
    return false;
}

void SaveFlow::closeWithoutAsking() {
    closeConfirmed_ = true;
    emit closeNow();
}

void SaveFlow::askBeforeClosing() {
    QMessageBox* alert = sheetAlert(
        window_, QMessageBox::Information,
        tr("Do you want to save the changes you made in the document \"%1\"?").arg(documentName()),
        tr("Your changes will be lost if you don't save them."));
    QPushButton* saveAs = alert->addButton(tr("Save As"), QMessageBox::AcceptRole);
    QPushButton* dontSave = alert->addButton(tr("Don't Save"), QMessageBox::DestructiveRole);
    alert->addButton(tr("Cancel"), QMessageBox::RejectRole);
    alert->setDefaultButton(saveAs);
    connect(alert, &QMessageBox::finished, this, [this, alert, saveAs, dontSave] {
        if (alert->clickedButton() == saveAs)
            saveAsDocWithPath(documentPath_(), true);
        else if (alert->clickedButton() == dontSave)
            closeWithoutAsking();
        else
            emit closeRefused();
    });
    alert->open();
}

void SaveFlow::askToReload(const std::function<void(bool reload)>& answered) {
    if (saving_) {
        answered(false);
        return;
    }
    QMessageBox* alert = sheetAlert(
        window_, QMessageBox::Warning,
        tr("“%1” was changed by another program. Do you want to reload it?").arg(documentName()),
        session_.isEdited() ? tr("The changes you made in this window will be lost.")
                            : tr("This window shows the file as Cropmark first read it."));
    QPushButton* reload = alert->addButton(tr("Reload"), QMessageBox::AcceptRole);
    alert->addButton(tr("Cancel"), QMessageBox::RejectRole);
    alert->setDefaultButton(reload);
    connect(alert, &QMessageBox::finished, this, [this, alert, reload, answered] {
        const bool reloading = alert->clickedButton() == reload;
        if (reloading)
            closeWithoutAsking();
        answered(reloading);
    });
    alert->open();
}

void SaveFlow::saveAsDocWithPath(const QString& path, bool closeAfterwards) {
    auto* panel = new QFileDialog(window_, tr("Save As"));
    panel->setAcceptMode(QFileDialog::AcceptSave);
    panel->setFileMode(QFileDialog::AnyFile);
    panel->setDefaultSuffix("pdf");
    panel->setNameFilters({tr("PDF documents (*.pdf)"), tr("All files (*)")});
    const QFileInfo file(OutputSettings::proposedPath(path));
    if (!path.isEmpty())
        panel->setDirectory(file.absolutePath());
    panel->selectFile(file.fileName());
    panel->setWindowModality(Qt::WindowModal);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    connect(panel, &QFileDialog::fileSelected, this,
            [this, closeAfterwards](const QString& target) {
                writeDocumentTo(target, closeAfterwards);
            });
    if (closeAfterwards)
        connect(panel, &QFileDialog::rejected, this, &SaveFlow::closeRefused);
    // While the user chooses where, the save's host parses the file, which on a large file is
    // most of the save.
    session_.pdfDoc().prepareToSave();
    panel->open();
}

void SaveFlow::writeDocumentTo(const QString& target, bool closeAfterwards) {
    if (saving_ || target.isEmpty())
        return;
    // The save panel asked about replacing the file there, which the user took for the one
    // this window shows.
    if (shownFile_.replacesAnotherVersion(target))
        askBeforeReplacingAnotherVersion(target, closeAfterwards);
    else
        write(target, closeAfterwards);
}

void SaveFlow::askBeforeReplacingAnotherVersion(const QString& target, bool closeAfterwards) {
    QMessageBox* alert = sheetAlert(
        window_, QMessageBox::Warning,
        tr("“%1” was replaced by another program after Cropmark opened it. Do you want to "
           "replace that program's version with this window's?")
            .arg(QFileInfo(target).fileName()),
        tr("The version the other program saved there will be lost."));
    QPushButton* replace = alert->addButton(tr("Replace"), QMessageBox::DestructiveRole);
    alert->setDefaultButton(alert->addButton(tr("Cancel"), QMessageBox::RejectRole));
    connect(alert, &QMessageBox::finished, this, [this, alert, replace, target, closeAfterwards] {
        if (alert->clickedButton() == replace)
            write(target, closeAfterwards);
        else if (closeAfterwards)
            emit closeRefused();
    });
    alert->open();
}

void SaveFlow::write(const QString& target, bool closeAfterwards) {
    if (saving_)
        return;
    // The crops on screen are what the user means to save, applied or not.
    if (session_.isCroppedSomePage())
        session_.done();
    saving_ = true;
    emit saveStarted();
    processBarWindow_->setProgress(0, 0, session_.pdfDoc().pageCount());
    processBarWindow_->open();
    const PdfDocument* document = &session_.pdfDoc();
    savingDocument_ = document;
    const SaveChoices choices{OutputSettings::keepsOriginalBoxes(),
                              EncryptSettings::removesPassword(), OutputSettings::removesOutside()};
    saveWorker_ = std::jthread([this, document, target, choices, closeAfterwards] {
        QString error;
        if (!document->writeToFile(target, choices, &error) && error.isEmpty())
            error = tr("The file could not be written.");
        QMetaObject::invokeMethod(
            this,
            [this, target, error, closeAfterwards] {
                saveFileDidFinished(target, error, closeAfterwards);
            },
            Qt::QueuedConnection);
    });
}

void SaveFlow::saveFileDidFinished(const QString& target, const QString& error,
                                   bool closeAfterwards) {
    saveWorker_.join();
    savingDocument_ = nullptr;
    saving_ = false;
    processBarWindow_->end();
    emit saveFinished(error);
    if (!error.isEmpty()) {
        if (closeAfterwards)
            emit closeRefused();
        // Nothing was replaced: the window keeps its changes, and stays open to save them.
        sheetAlert(window_, QMessageBox::Warning, tr("The document could not be saved."), error,
                   QMessageBox::Ok)
            ->open();
        return;
    }
    session_.markSaved();
    emit saved(target);
    if (OutputSettings::opensSavedFile())
        fileOpener_->openFile(target);
    if (closeAfterwards)
        emit closeNow();
}

void SaveFlow::addDocProcessObserver() {
    // Writes of other documents (another window saving) are not this window's progress.
    auto& center = NotificationCenter::defaultCenter();
    auto mine = [this](const Notification& n) { return n.sender && n.sender == savingDocument_; };
    center.addObserver(this, PdfWriteNotifications::didBeginWrite,
                       [this, mine](const Notification& n) {
                           if (!mine(n))
                               return;
                           currentSaveIndex_ = 0;
                           setProgressOnMainQueue(0.0, 0);
                       });
    center.addObserver(
        this, PdfWriteNotifications::didEndPageWrite, [this, mine](const Notification& n) {
            if (!mine(n))
                return;
            const qint64 written = currentSaveIndex_;
            const qint64 pages = static_cast<const PdfDocument*>(n.sender)->pageCount();
            setProgressOnMainQueue(pages > 0 ? std::min(1.0, double(written) / pages) : 1.0,
                                   written + 1);
            currentSaveIndex_ = written + 1;
        });
    center.addObserver(
        this, PdfWriteNotifications::didEndWrite, [this, mine](const Notification& n) {
            if (!mine(n))
                return;
            setProgressOnMainQueue(1.0, static_cast<const PdfDocument*>(n.sender)->pageCount());
        });
}

void SaveFlow::setProgressOnMainQueue(double value, qint64 page) {
    if (QThread::currentThread() == thread()) {
        showProgress(value, page);
        return;
    }
    {
        const std::lock_guard lock(progressMutex_);
        newestProgress_ = {value, page};
        if (progressQueued_)
            return;
        progressQueued_ = true;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            std::pair<double, qint64> newest;
            {
                const std::lock_guard lock(progressMutex_);
                newest = newestProgress_;
                progressQueued_ = false;
            }
            showProgress(newest.first, newest.second);
        },
        Qt::QueuedConnection);
}

void SaveFlow::showProgress(double value, qint64 page) {
    processBarWindow_->setProgress(value, page, session_.pdfDoc().pageCount());
    emit saveProgressChanged(value, page);
    if (value == 1.0)
        QTimer::singleShot(kSheetDelayMs, processBarWindow_, &RMSaveProgressSheet::end);
}

void SaveFlow::unlockLater() {
    QTimer::singleShot(kSheetDelayMs, this, &SaveFlow::showDecryptWindow);
}

void SaveFlow::showDecryptWindow() {
    if (!session_.pdfDoc().isLocked() || decryptWindow_)
        return;
    decryptWindow_ = new RMDecryptSheet(documentName(), window_);
    connect(decryptWindow_, &RMDecryptSheet::tryPassword, this, &SaveFlow::decryptOkHandler);
    connect(decryptWindow_, &QDialog::rejected, this, &SaveFlow::decryptCancelHandler);
    decryptWindow_->open();
}

void SaveFlow::decryptOkHandler(const QString& password) {
    if (!session_.unlockWithPassword(password)) {
        if (decryptWindow_)
            decryptWindow_->showWrongPassword();
        return;
    }
    if (decryptWindow_) {
        decryptWindow_->disconnect(this);
        decryptWindow_->accept();
        decryptWindow_->deleteLater();
        decryptWindow_ = nullptr;
    }
    emit unlocked();
}

void SaveFlow::decryptCancelHandler() {
    closeWithoutAsking();
}
