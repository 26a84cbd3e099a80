#include "crop/ReplacingFile.h"

#include "platform/NativePath.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

void setError(QString* errorMessage, const QString& text) {
    if (errorMessage)
        *errorMessage = text;
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes a rename in folder last through a crash. File systems that cannot sync a folder,
// or a folder this process may not open, leave it to the system to write in its own time.
void syncFolder(const QString& folder) {
    const int handle =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return;
    ::fsync(handle);
    ::close(handle);
}

} // namespace

ReplacingFile::ReplacingFile(const QString& target) {
    const QFileInfo info(target);
    target_ = info.isSymLink() && !info.symLinkTarget().isEmpty() ? info.symLinkTarget()
                                                                  : NativePath::absolute(target);
}

ReplacingFile::~ReplacingFile() {
    // A temporary file that could not be made has no name to remove.
    if (file_ && !committed_ && !file_->fileName().isEmpty())
        file_->remove();
}

bool ReplacingFile::open(QString* errorMessage) {
    const QFileInfo target(target_);
    if (!target.dir().exists()) {
        setError(errorMessage, QObject::tr("The folder “%1” does not exist.")
                                   .arg(QDir::toNativeSeparators(target.absolutePath())));
        return false;
    }
    if (target.isDir()) {
        setError(errorMessage, QObject::tr("“%1” is a folder.").arg(target.fileName()));
        return false;
    }
    replaced_ = FileIdentity::ofPath(target_);
    file_ = std::make_unique<QTemporaryFile>(
        target.dir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    file_->setAutoRemove(false);
    errno = 0;
    if (!file_->open()) {
        setError(errorMessage, failureMessage(errno, file_->errorString()));
        return false;
    }
    const auto permissions = target.exists() ? target.permissions()
                                             : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ReadGroup | QFileDevice::ReadOther;
    file_->setPermissions(permissions);
    return true;
}

QFile& ReplacingFile::device() {
    return *file_;
}

bool ReplacingFile::finish(QString* errorMessage) {
    if (!file_)
        return false;
    // A full disk may show when the data Qt still holds is written, or only at the sync, on
    // file systems that allocate space when data goes to disk.
    errno = 0;
    if (!file_->flush()) {
        setError(errorMessage, failureMessage(errno, file_->errorString()));
        return false;
    }
    if (::fdatasync(file_->handle()) != 0) {
        const int error = errno;
        setError(errorMessage, failureMessage(error, systemReason(error)));
        return false;
    }
    file_->close();
    if (file_->error() != QFileDevice::NoError) {
        setError(errorMessage, failureMessage(errno, file_->errorString()));
        return false;
    }
    finished_ = true;
    return true;
}

QString ReplacingFile::writtenPath() const {
    return file_ ? file_->fileName() : QString();
}

bool ReplacingFile::commit(QString* errorMessage) {
    if (!finished_)
        return false;
    if (FileIdentity::ofPath(target_) != replaced_) {
        setError(errorMessage,
                 QObject::tr("“%1” was changed by another program while Cropmark saved over it, "
                             "so it was left as that program made it.")
                     .arg(QFileInfo(target_).fileName()));
        return false;
    }
    // Unlike QFile::rename, rename(2) replaces an existing target in one step.
    if (std::rename(QFile::encodeName(file_->fileName()).constData(),
                    NativePath::encode(target_).constData()) != 0) {
        const int error = errno;
        setError(errorMessage, failureMessage(error, systemReason(error)));
        return false;
    }
    committed_ = true;
    syncFolder(QFileInfo(target_).absolutePath());
    return true;
}

QString ReplacingFile::failureMessage(int error, const QString& reason) const {
    if (error == ENOSPC || error == EDQUOT) {
        return QObject::tr("There is not enough space on the disk to save “%1”.")
            .arg(QFileInfo(target_).fileName());
    }
    if (error == 0)
        return reason;
    // The system's reason ("Read-only file system") says nothing of which file it was.
    return QObject::tr("“%1” could not be written: %2").arg(QFileInfo(target_).fileName(), reason);
}
