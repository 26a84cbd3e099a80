#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

// One open file and the windows that show it, as the document controller keeps it.
//
// A subclass reads the file and makes its windows. The document closes once its last window
// is destroyed: close() tells the controller, which forgets it, and the document deletes
// itself afterwards.
//
// GUI thread only.
class DocumentBase : public QObject {
    Q_OBJECT

public:
    explicit DocumentBase(QObject* parent = nullptr);

    // The file as an absolute local path; empty for a document that has none.
    QString fileURL() const { return fileURL_; }
    void setFileURL(const QString& path) { fileURL_ = path; }

    // Reads the file at path, off the GUI thread where it can, then calls finished on the GUI
    // thread: with an empty error once read, with a message the user can read when it cannot
    // be. finished is not called if the document is deleted first.
    virtual void readFromURL(const QString& path,
                             std::function<void(const QString& error)> finished) = 0;
    // Makes the document's windows and hands them to addWindowController().
    virtual void makeWindowControllers() = 0;
    // Saves under a name the user chooses.
    virtual void saveDocumentAs() = 0;
    // Whether the file was changed on disk after the document read it, so that its windows
    // no longer show it.
    virtual bool isStale() const { return false; }
    // Asks the user whether to read the changed file again. A yes closes the document's
    // windows, unsaved work and all; answered says which it was.
    virtual void askToReload(const std::function<void(bool reload)>& answered) { answered(false); }

    // The document's windows that still exist, in the order they were added.
    QList<QWidget*> windowControllers() const;
    // The document closes when window, and every other window of it, has been destroyed.
    void addWindowController(QWidget* window);
    // Shows every window of the document in front of the others, the first one active.
    void showWindows();

    // Announces the close through closed() and deletes the document soon after. Subclasses
    // add their own announcements after calling this.
    virtual void close();

signals:
    void closed(DocumentBase* document);

private:
    void windowDestroyed(QObject* window);

    QString fileURL_;
    QList<QPointer<QWidget>> windows_;
    bool closed_ = false;
};
