#pragma once

#include <QObject>

class RMFileInfosManager;

// Keeps the recent list from one run of the program to the next, in its settings: the list is
// read back when this is made (files deleted or moved since are left out) and written again
// whenever it changes, so that a crash loses nothing either.
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
};
