#include "platform/FileIdentity.h"

#include "platform/NativePath.h"

#include <sys/stat.h>

FileIdentity FileIdentity::ofStatus(const struct stat& status) {
    FileIdentity identity;
    identity.device_ = status.st_dev;
    identity.inode_ = status.st_ino;
    identity.size_ = status.st_size;
    identity.modified_ = status.st_mtim;
    return identity;
}

std::optional<FileIdentity> FileIdentity::ofPath(const QString& path) {
    struct stat status = {};
    if (path.isEmpty() || stat(NativePath::encode(path).constData(), &status) != 0)
        return std::nullopt;
    return ofStatus(status);
}

std::optional<FileIdentity> FileIdentity::ofHandle(int handle) {
    struct stat status = {};
    if (handle < 0 || fstat(handle, &status) != 0)
        return std::nullopt;
    return ofStatus(status);
}

bool FileIdentity::operator==(const FileIdentity& other) const {
    return device_ == other.device_ && inode_ == other.inode_ && size_ == other.size_ &&
           modified_.tv_sec == other.modified_.tv_sec &&
           modified_.tv_nsec == other.modified_.tv_nsec;
}
