#pragma once

#include "platform/DocumentBase.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QWindow;

// Keeps the open documents: one per file, whatever route opened it.
//
// A file is the same file under any spelling of its path (relative, with "..", through a
// symbolic link): opening it again brings its windows to the front instead of reading it a
// second time. Documents are made by the factory the application sets, and forgotten when
// they close.
//
// GUI thread only.
class DocumentController : public QObject {
    Q_OBJECT

public:
    using Factory = std::function<std::unique_ptr<DocumentBase>()>;
    // document is null when the file could not be opened, and error says why.
    using Completion = std::function<void(DocumentBase* document, const QString& error)>;

    explicit DocumentController(QObject* parent = nullptr);
    ~DocumentController() override;

    // The application's one controller.
    static DocumentController& sharedDocumentController();

    void setDocumentFactory(Factory factory) { factory_ = std::move(factory); }

    // Opens the file at path, or finds its open document, and shows its windows in front when
    // display is set; an open document whose file another program has changed since offers
    // to read it again. The file is read without holding up the GUI thread; completion runs on
    // it once the document is open or has failed to open. A file asked for again while it is
    // being read opens once, and every asker hears of it.
    void openDocumentWithContentsOfURL(const QString& path, bool display,
                                       const Completion& completion);
    // Whether some file is being read.
    bool isOpening() const { return !opening_.empty(); }
    // The open document of the file at path, or null.
    DocumentBase* documentForURL(const QString& path) const;
    // The document of the active window; when another window is active, the document whose
    // window was active last; null when no document is open.
    DocumentBase* currentDocument() const;
    const std::vector<DocumentBase*>& documents() const { return documents_; }

signals:
    // A document has been read and has its windows, which are not shown yet.
    void documentOpened(DocumentBase* document);

private:
    struct Opening {
        DocumentBase* document;
        bool display;
        std::vector<Completion> completions;
    };

    void startOpening(const QString& path, bool display, const Completion& completion);
    // Asks the stale document whether to reload; a yes forgets it and opens path anew.
    void offerReload(DocumentBase* stale, const QString& path, const Completion& completion);
    void finishOpening(DocumentBase* document, const QString& error);
    void documentClosed(DocumentBase* document);
    void focusWindowChanged(QWindow* window);
    DocumentBase* documentOfWindow(const QWidget* window) const;

    Factory factory_;
    std::vector<DocumentBase*> documents_;
    std::vector<Opening> opening_;
    QPointer<DocumentBase> lastActive_;
};
