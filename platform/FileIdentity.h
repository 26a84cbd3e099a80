#pragma once

#include <QString>

#include <ctime>
#include <optional>
#include <sys/types.h>

struct stat;

// Which file a path names, and the state it is in: its device and inode, size and
// modification time. Two identities are equal when they are the same file, unchanged: a file
// written in place differs by its size or time, one renamed over the path by its inode.
//
// Any thread.
class FileIdentity {
public:
    // Nothing when there is no file to look at.
    static std::optional<FileIdentity> ofPath(const QString& path);
    static std::optional<FileIdentity> ofHandle(int handle);
    // What stat() or fstat() said.
    static FileIdentity ofStatus(const struct stat& status);

    bool operator==(const FileIdentity& other) const;
    // Written out for the document services, which the fuzz build compiles as C++17, where
    // comparing optional identities needs it.
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }

private:
    dev_t device_ = 0;
    ino_t inode_ = 0;
    off_t size_ = 0;
    timespec modified_ = {};
};
