#include "platform/DocumentBase.h"

#include "platform/WindowFront.h"

DocumentBase::DocumentBase(QObject* parent) : QObject(parent) {}

QList<QWidget*> DocumentBase::windowControllers() const {
    QList<QWidget*> windows;
    for (const QPointer<QWidget>& window : windows_) {
        if (window)
            windows << window.data();
    }
    return windows;
}

void DocumentBase::addWindowController(QWidget* window) {
    windows_ << window;
    connect(window, &QObject::destroyed, this, &DocumentBase::windowDestroyed);
}

void DocumentBase::showWindows() {
    const QList<QWidget*> windows = windowControllers();
    for (QWidget* window : windows)
        WindowFront::bring(*window);
    if (!windows.isEmpty())
        windows.first()->activateWindow();
}

void DocumentBase::windowDestroyed(QObject* window) {
    // A widget is still being destroyed when it says so; its guard may not be cleared yet.
    windows_.removeIf([window](const QPointer<QWidget>& w) { return !w || w.data() == window; });
    if (windows_.isEmpty())
        close();
}

void DocumentBase::close() {
    if (closed_)
        return;
    closed_ = true;
    emit closed(this);
    deleteLater();
}
