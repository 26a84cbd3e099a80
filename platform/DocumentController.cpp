#include "platform/DocumentController.h"

#include "platform/NativePath.h"

#include <QApplication>
#include <QFileInfo>
#include <QWindow>

#include <algorithm>

namespace {

// One name per file: symbolic links resolved when the file exists, the absolute path when
// it does not (the open then fails and says so).
QString identityOf(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? NativePath::absolute(path) : canonical;
}

} // namespace

DocumentController::DocumentController(QObject* parent) : QObject(parent) {
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            &DocumentController::focusWindowChanged);
}

DocumentController::~DocumentController() {
    for (DocumentBase* document : documents_)
        disconnect(document, nullptr, this, nullptr);
}

DocumentController& DocumentController::sharedDocumentController() {
    static auto* controller = new DocumentController(qApp);
    return *controller;
}

void DocumentController::openDocumentWithContentsOfURL(const QString& path, bool display,
                                                       const Completion& completion) {
    if (DocumentBase* open = documentForURL(path)) {
        if (display)
            open->showWindows();
        if (display && open->isStale()) {
            offerReload(open, path, completion);
            return;
        }
        completion(open, QString());
        return;
    }
    startOpening(path, display, completion);
}

void DocumentController::offerReload(DocumentBase* stale, const QString& path,
                                     const Completion& completion) {
    QPointer<DocumentBase> document(stale);
    stale->askToReload([this, document, path, completion](bool reload) {
        if (!reload) {
            completion(document, QString());
            return;
        }
        // Its windows are closing; the file opens anew at once, not as the old document.
        if (document) {
            disconnect(document, nullptr, this, nullptr);
            documentClosed(document);
        }
        startOpening(path, true, completion);
    });
}

void DocumentController::startOpening(const QString& path, bool display,
                                      const Completion& completion) {
    const QString identity = identityOf(path);
    for (Opening& opening : opening_) {
        if (identityOf(opening.document->fileURL()) == identity) {
            opening.display = opening.display || display;
            opening.completions.push_back(completion);
            return;
        }
    }
    DocumentBase* document = factory_ ? factory_().release() : nullptr;
    if (!document) {
        completion(nullptr, tr("No document can be made for “%1”.").arg(path));
        return;
    }
    const QString absolute = NativePath::absolute(path);
    document->setParent(this);
    document->setFileURL(absolute);
    opening_.push_back({document, display, {completion}});
    document->readFromURL(
        absolute, [this, document](const QString& error) { finishOpening(document, error); });
}

void DocumentController::finishOpening(DocumentBase* document, const QString& error) {
    const auto found = std::find_if(opening_.begin(), opening_.end(),
                                    [&](const Opening& o) { return o.document == document; });
    if (found == opening_.end())
        return;
    const Opening opening = *found;
    opening_.erase(found);
    if (!error.isEmpty()) {
        document->deleteLater();
        for (const Completion& completion : opening.completions)
            completion(nullptr, error);
        return;
    }
    documents_.push_back(document);
    connect(document, &DocumentBase::closed, this, &DocumentController::documentClosed);
    document->makeWindowControllers();
    emit documentOpened(document);
    if (opening.display)
        document->showWindows();
    for (const Completion& completion : opening.completions)
        completion(document, QString());
}

DocumentBase* DocumentController::documentForURL(const QString& path) const {
    const QString identity = identityOf(path);
    const auto found = std::find_if(documents_.begin(), documents_.end(), [&](DocumentBase* d) {
        return identityOf(d->fileURL()) == identity;
    });
    return found == documents_.end() ? nullptr : *found;
}

DocumentBase* DocumentController::currentDocument() const {
    if (DocumentBase* active = documentOfWindow(QApplication::activeWindow()))
        return active;
    return lastActive_;
}

DocumentBase* DocumentController::documentOfWindow(const QWidget* window) const {
    if (!window)
        return nullptr;
    // A sheet or dialog belongs to the document of the window it sits on.
    const QWidget* top = window->window();
    while (top->parentWidget())
        top = top->parentWidget()->window();
    for (DocumentBase* document : documents_) {
        if (document->windowControllers().contains(top))
            return document;
    }
    return nullptr;
}

void DocumentController::focusWindowChanged(QWindow* window) {
    if (!window)
        return;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window) {
            if (DocumentBase* document = documentOfWindow(widget))
                lastActive_ = document;
            return;
        }
    }
}

void DocumentController::documentClosed(DocumentBase* document) {
    documents_.erase(std::remove(documents_.begin(), documents_.end(), document), documents_.end());
}
