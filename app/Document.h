#pragma once

#include "editor/RMMainWindowController.h"
#include "editor/RMMainWindowDelegate.h"
#include "platform/DocumentBase.h"

#include <QPointer>

#include <memory>

class PdfDocument;
class RenderWorkplace;
class RMOpeningWindow;

// One open PDF file and its editing window.
//
// Reading opens the file (a locked file opens too; the window asks for its password); the
// opened document goes to the editing window, which keeps every page and crop from then on.
//
// GUI thread only.
class Document : public DocumentBase, public RMMainWindowDelegate {
    Q_OBJECT

public:
    // Posted, with no sender and no object, after a document has closed.
    static inline const QString kWindowCloseNotification = QStringLiteral("Notifi_Window_Close");

    // Opens, draws and saves in workplace.
    explicit Document(std::shared_ptr<const RenderWorkplace> workplace, QObject* parent = nullptr);
    ~Document() override;

    // Reads on a thread of its own.
    void readFromURL(const QString& path,
                     std::function<void(const QString& error)> finished) override;
    // A document without a file location gets no window.
    void makeWindowControllers() override;
    void saveDocumentAs() override;
    bool isStale() const override;
    void askToReload(const std::function<void(bool reload)>& answered) override;
    void close() override;

    // "file://" followed by the file's path exactly as it is, so its last component is the
    // file's real name ("100%.pdf" stays "100%.pdf").
    QString currentFilePath() const override;

    RMMainWindowController* windowCtrl() const { return windowCtrl_; }

private:
    const std::shared_ptr<const RenderWorkplace> workplace_;
    std::unique_ptr<PdfDocument> pdf_;
    // What the window tells the user about how the file was opened.
    QString notice_;
    // Stands for the editing window while the file is read.
    QPointer<RMOpeningWindow> opening_;
    QPointer<RMMainWindowController> windowCtrl_;
};
