#include "app/QuitFlow.h"

#include "editor/RMMainWindowController.h"
#include "platform/DocumentController.h"

#include <QCoreApplication>

QuitFlow::QuitFlow(DocumentController& documents, QObject* parent)
    : QObject(parent), documents_(documents) {}

void QuitFlow::start() {
    if (running_)
        return;
    running_ = true;
    waiting_.clear();
    for (DocumentBase* document : documents_.documents()) {
        for (QWidget* window : document->windowControllers()) {
            if (auto* editor = qobject_cast<RMMainWindowController*>(window))
                waiting_.emplace_back(editor);
        }
    }
    askNext();
}

void QuitFlow::askNext() {
    while (!waiting_.empty()) {
        QPointer<RMMainWindowController> window = waiting_.front();
        waiting_.pop_front();
        if (!window || !window->hasUnsavedWork())
            continue;
        asking_ = window;
        // The window goes once its question is answered and its work saved or dropped; the
        // next one is asked then.
        connect(window, &QObject::destroyed, this, &QuitFlow::askNext, Qt::QueuedConnection);
        connect(window, &RMMainWindowController::closeRefused, this, &QuitFlow::stop);
        window->raise();
        window->activateWindow();
        if (!window->close())
            return;
        // Closed without a question after all: nothing was left to save.
        disconnect(window, nullptr, this, nullptr);
    }
    finish();
}

void QuitFlow::stop() {
    if (asking_)
        disconnect(asking_, nullptr, this, nullptr);
    asking_ = nullptr;
    waiting_.clear();
    running_ = false;
}

void QuitFlow::finish() {
    asking_ = nullptr;
    for (DocumentBase* document : std::vector<DocumentBase*>(documents_.documents())) {
        for (QWidget* window : document->windowControllers()) {
            if (!window->close()) {
                // Unsaved work that came after the questions: that window asks now.
                stop();
                return;
            }
        }
    }
    running_ = false;
    QCoreApplication::quit();
}
