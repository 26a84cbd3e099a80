#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

class CropSession;
class FileOpener;
class RMDecryptSheet;
class RMSaveProgressSheet;
class ShownFile;

// Saving, closing and unlocking one document's window: the save panel, the write with its
// progress sheet, the question before unsaved work is closed or a changed file reloaded, and
// the password sheet of a locked document.
//
// Its sheets go on the window it is given; what comes of them reaches the window through
// signals, and it never touches the window's own controls. The write runs on a worker thread
// while the progress sheet follows it page by page; the window must not change the session
// until saveFinished().
//
// GUI thread only, but for the write.
class SaveFlow : public QObject {
    Q_OBJECT

public:
    // window (not owned) carries the sheets; documentPath names the document's file, which
    // shownFile watches.
    SaveFlow(CropSession& session, QWidget* window, std::function<QString()> documentPath,
             const ShownFile& shownFile);
    // Waits for a write under way.
    ~SaveFlow() override;

    // Save As: a save panel proposing path, then the write; the window closes afterwards when
    // closeAfterwards is set.
    void saveAsDocWithPath(const QString& path, bool closeAfterwards);
    // Applies the pending crops and writes the working document to target (already chosen).
    // Where another program has put a file of its own at the document's path since it was
    // opened, the user is asked first whether to replace that file too.
    void writeDocumentTo(const QString& target, bool closeAfterwards);
    bool isSaving() const { return saving_; }
    RMSaveProgressSheet* processBarWindow() const { return processBarWindow_; }
    // Not owned; the desktop's own opener by default.
    void setFileOpener(FileOpener* opener) { fileOpener_ = opener; }

    // Whether the window may close now. If not, the close question is asked (unless a save is
    // under way), and closeNow() or closeRefused() follows.
    bool mayClose();
    // Asks whether to reload the changed file, warning of unsaved work; a yes closes the
    // window without asking more. answered says which.
    void askToReload(const std::function<void(bool reload)>& answered);

    // The password sheet half a second from now, when the document is locked.
    void unlockLater();
    void showDecryptWindow();
    RMDecryptSheet* decryptWindow() const { return decryptWindow_; }
    void decryptOkHandler(const QString& password);
    void decryptCancelHandler();

signals:
    // A write has begun: nothing may change the document until saveFinished().
    void saveStarted();
    // Every change of the save progress, as the sheet shows it.
    void saveProgressChanged(double value, qint64 page);
    // A save has ended; error is empty when the file was written.
    void saveFinished(const QString& error);
    // The document is the file at target now.
    void saved(const QString& target);
    // The window is to close, without asking anything more.
    void closeNow();
    // A close was asked for and the window stays open: the user cancelled the close question
    // or the save panel it led to, the save failed, or a save is under way.
    void closeRefused();
    // The right password was given: the session's pages can be read.
    void unlocked();

private:
    QString documentName() const;
    void askBeforeClosing();
    void askBeforeReplacingAnotherVersion(const QString& target, bool closeAfterwards);
    void write(const QString& target, bool closeAfterwards);
    void closeWithoutAsking();
    void saveFileDidFinished(const QString& target, const QString& error, bool closeAfterwards);
    void addDocProcessObserver();
    void setProgressOnMainQueue(double value, qint64 page);
    void showProgress(double value, qint64 page);

    CropSession& session_;
    QWidget* window_;
    std::function<QString()> documentPath_;
    const ShownFile& shownFile_;
    RMSaveProgressSheet* processBarWindow_;
    RMDecryptSheet* decryptWindow_ = nullptr;
    std::unique_ptr<FileOpener> desktopOpener_;
    FileOpener* fileOpener_;
    bool saving_ = false;
    bool closeConfirmed_ = false;
    // The document being written and the pages written so far; the worker's notification
    // handlers read and change them.
    std::atomic<const void*> savingDocument_{nullptr};
    std::atomic<qint64> currentSaveIndex_{0};
    // The newest progress from the worker, shown by one queued call at a time: a call queued
    // for each page of a 10,000-page save kept the worker posting, and the window showing
    // every page, for a second after the file was written.
    std::mutex progressMutex_;
    std::pair<double, qint64> newestProgress_;
    bool progressQueued_ = false;
    // Last: joined before anything it uses is destroyed.
    std::jthread saveWorker_;
};
