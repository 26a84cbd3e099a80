#pragma once

#include <QObject>

#include <memory>

class RMFileInfosManager;

// Keeps the recent list from one run of the program to the next, in its settings: the list is
// read back when this is made and written again whenever it changes, so that a crash loses
// nothing either. Files deleted or moved since are taken off the list once a background thread
// has looked for them: looking on the GUI thread, a stalled network mount in the list would
// hold up the start window.
//
// GUI thread only.
class RecentFilesMemory {
public:
    explicit RecentFilesMemory(RMFileInfosManager& store);
    ~RecentFilesMemory();

    RecentFilesMemory(const RecentFilesMemory&) = delete;
    RecentFilesMemory& operator=(const RecentFilesMemory&) = delete;

private:
    void write() const;

    RMFileInfosManager& store_;
    // Owns the subscription to the list's changes.
    QObject listening_;
    // Gone with this, so that an answer from the background after it finds nothing to change.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
