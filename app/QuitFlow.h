#pragma once

#include <QObject>
#include <QPointer>

#include <deque>

class DocumentController;
class RMMainWindowController;

// Quitting with documents open: each window with unsaved work asks its close question in
// turn, and only once every one has been answered does the program end.
//
// "Don't Save", and "Save As" once its file is written, go on to the next window. "Cancel",
// a cancelled save panel or a failed save stops the quit, with every window that is left
// still open. Windows without unsaved work close only when the quit goes ahead, so that a
// stopped quit takes nothing away.
//
// GUI thread only.
class QuitFlow : public QObject {
    Q_OBJECT

public:
    explicit QuitFlow(DocumentController& documents, QObject* parent = nullptr);

    // Starts quitting, unless a quit is under way already.
    void start();
    bool isRunning() const { return running_; }

private:
    // Asks the next window with unsaved work, or ends the program when none is left.
    void askNext();
    void stop();
    // Closes every window left and ends the program.
    void finish();

    DocumentController& documents_;
    std::deque<QPointer<RMMainWindowController>> waiting_;
    QPointer<RMMainWindowController> asking_;
    bool running_ = false;
};
