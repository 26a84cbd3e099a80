#include "editor/ShownFile.h"

#include "crop/CropSession.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {

// Saving into the folder, or a program writing the file in many small steps, brings a burst
// of changes: the file is looked at once they settle.
constexpr int kSettleMs = 150;

} // namespace

ShownFile::ShownFile(const CropSession& session, std::function<QString()> documentPath)
    : session_(session), documentPath_(std::move(documentPath)) {
    if (const auto bytes = session_.pdfDoc().renderSource().data)
        shown_ = FileIdentity::ofHandle(bytes->fileHandle());
}

ShownFile::~ShownFile() = default;

void ShownFile::watch() {
    const QString path = documentPath_();
    if (watcher_ || path.isEmpty() || !shown_)
        return;
    watcher_ = new QFileSystemWatcher(this);
    // The folder tells of a file renamed over the path, after which the file's own watch is on
    // a file no longer there.
    watcher_->addPaths({path, QFileInfo(path).absolutePath()});
    auto* settle = new QTimer(this);
    settle->setSingleShot(true);
    settle->setInterval(kSettleMs);
    connect(settle, &QTimer::timeout, this, &ShownFile::lookAgain);
    const auto changed = [settle] { settle->start(); };
    connect(watcher_, &QFileSystemWatcher::fileChanged, settle, changed);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, settle, changed);
}

void ShownFile::lookAgain() {
    watchPathAgain();
    if (isStale())
        emit changedElsewhere();
}

void ShownFile::watchPathAgain() {
    // The watch stays with the file it was put on, which may have been renamed away or
    // removed since, by another program or by a save: the file now at the path is watched.
    const QString path = documentPath_();
    watcher_->removePath(path);
    if (QFileInfo::exists(path))
        watcher_->addPath(path);
}

bool ShownFile::isStale() const {
    return session_.pdfDoc().fileChangedSinceOpened() ||
           (shown_ && FileIdentity::ofPath(documentPath_()) != shown_);
}

bool ShownFile::replacesAnotherVersion(const QString& target) const {
    const auto there = FileIdentity::ofPath(target);
    // A file written into in place is not saved from at all; the save says so.
    return shown_ && there && there != shown_ && there == FileIdentity::ofPath(documentPath_()) &&
           !session_.pdfDoc().fileChangedSinceOpened();
}

bool ShownFile::savedTo(const QString& target) {
    const auto saved = FileIdentity::ofPath(target);
    if (!saved || saved != FileIdentity::ofPath(documentPath_()))
        return false;
    shown_ = saved;
    if (watcher_)
        watchPathAgain();
    return true;
}
