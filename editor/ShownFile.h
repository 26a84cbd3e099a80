#pragma once

#include "platform/FileIdentity.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class CropSession;
class QFileSystemWatcher;

// Whether the file a window shows is still the file at its path. Another program may write
// into it, or rename another file over it, after the window read it; a save over it makes
// the saved file the one shown, so that changes made to it afterwards are noticed too.
//
// The file and its folder are watched, so that such a change is told as it happens, not when
// the user next comes back to the window or tries to save.
//
// GUI thread only.
class ShownFile : public QObject {
    Q_OBJECT
public:
    // session's working document was read from the file documentPath names.
    ShownFile(const CropSession& session, std::function<QString()> documentPath);
    ~ShownFile() override;

    // Begins to watch the file, once its path is known.
    void watch();
    bool isStale() const;
    // Whether saving to target would replace a file other than the one shown: target names the
    // shown file's path, and another program has put a file of its own there since.
    bool replacesAnotherVersion(const QString& target) const;
    // A save wrote target. Returns whether that was the shown file's path, which then holds
    // the file shown.
    bool savedTo(const QString& target);

signals:
    // The file is no longer the one shown: written into, cut short, replaced or removed.
    void changedElsewhere();

private:
    void lookAgain();
    void watchPathAgain();

    const CropSession& session_;
    std::function<QString()> documentPath_;
    std::optional<FileIdentity> shown_;
    QFileSystemWatcher* watcher_ = nullptr;
};
