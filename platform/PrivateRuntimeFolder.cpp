#include "platform/PrivateRuntimeFolder.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kOthersWrite = S_IWGRP | S_IWOTH;

std::optional<struct stat> statusOf(const QString& path) {
    struct stat status = {};
    if (stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return std::nullopt;
    return status;
}

// The session's own folder, when it is ours alone to write to.
std::optional<QString> runtimeFolder() {
    const QString path = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (path.isEmpty())
        return std::nullopt;
    const std::optional<struct stat> status = statusOf(path);
    if (!status || status->st_uid != geteuid() || (status->st_mode & kOthersWrite) != 0)
        return std::nullopt;
    return path;
}

// Others may write to a temp dir, but its sticky bit keeps them from renaming or removing what
// is not theirs.
bool othersCannotReplaceEntries(const QString& path) {
    const std::optional<struct stat> status = statusOf(path);
    return status && (status->st_uid == geteuid() || status->st_uid == 0) &&
           ((status->st_mode & kOthersWrite) == 0 || (status->st_mode & S_ISVTX) != 0);
}

// Looked at through the folder itself, not its name: O_NOFOLLOW refuses a symbolic link.
bool isOursAlone(const QString& path) {
    const int handle = ::open(QFile::encodeName(path).constData(),
                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0)
        return false;
    struct stat status = {};
    const bool ours = fstat(handle, &status) == 0 && S_ISDIR(status.st_mode) &&
                      status.st_uid == geteuid() && (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
    ::close(handle);
    return ours;
}

} // namespace

std::optional<QString> PrivateRuntimeFolder::open(const QString& name) {
    QString path;
    if (const std::optional<QString> runtime = runtimeFolder()) {
        path = QDir(*runtime).filePath(name);
    } else {
        // The temp dir is shared between users, so the name says whose folder it is.
        const QString temp = QDir::tempPath();
        if (!othersCannotReplaceEntries(temp)) {
            qWarning("PrivateRuntimeFolder: others may replace what is in %s", qPrintable(temp));
            return std::nullopt;
        }
        path = QDir(temp).filePath(QStringLiteral("%1-%2").arg(name).arg(geteuid()));
    }
    // When the folder exists already, whoever made it, the check below decides.
    mkdir(QFile::encodeName(path).constData(), S_IRWXU);
    if (!isOursAlone(path)) {
        qWarning("PrivateRuntimeFolder: %s is not a folder of this user's alone", qPrintable(path));
        return std::nullopt;
    }
    return path;
}
