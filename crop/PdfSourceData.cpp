#include "crop/PdfSourceData.h"

#include "crop/MappingFaultGuard.h"
#include "platform/NativePath.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::shared_ptr<const PdfSourceData> failed(QString* errorString, const QString& reason) {
    if (errorString)
        *errorString = reason;
    return nullptr;
}

} // namespace

std::shared_ptr<const PdfSourceData> PdfSourceData::mapFile(const QString& path,
                                                            QString* errorString) {
    // Opened without waiting, and read only when it is a regular file: opening a named pipe
    // waits for a writer, and reading a pipe or a device may never end.
    const int fd = ::open(NativePath::encode(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(errorString, QString::fromLocal8Bit(std::strerror(errno)));
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return mapOpened(fd, path, errorString);
}

std::shared_ptr<const PdfSourceData> PdfSourceData::mapDescriptor(int descriptor,
                                                                  QString* errorString) {
    const int fd = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return failed(errorString, QString::fromLocal8Bit(std::strerror(errno)));
    return mapOpened(fd, QStringLiteral("(descriptor %1)").arg(descriptor), errorString);
}

std::shared_ptr<const PdfSourceData> PdfSourceData::mapOpened(int fd, const QString& description,
                                                              QString* errorString) {
    struct stat status = {};
    const bool known = fstat(fd, &status) == 0;
    const int error = errno;
    if (!known || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return failed(errorString, known ? QCoreApplication::translate("PdfSourceData",
                                                                       "it is not a regular file")
                                         : QString::fromLocal8Bit(std::strerror(error)));
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(errorString, file->errorString());
    }
    std::shared_ptr<PdfSourceData> source(new PdfSourceData);
    source->description_ = description;
    source->opened_ = FileIdentity::ofStatus(status);
    const qint64 size = status.st_size;
    if (size > 0) {
        if (uchar* mapped = file->map(0, size)) {
            auto guard = std::make_unique<MappingFaultGuard>(mapped, size);
            if (guard->isActive()) {
                source->guard_ = std::move(guard);
                source->data_ = reinterpret_cast<const char*>(mapped);
                source->size_ = size;
            } else {
                file->unmap(mapped);
            }
        }
        if (!source->data_) {
            // Files that cannot be mapped (on some network file systems), or not safely, are
            // read instead, from their start: a descriptor handed in may stand anywhere.
            source->owned_ = file->seek(0) ? file->readAll() : QByteArray();
            if (source->owned_.size() != size)
                return failed(errorString, file->errorString());
            source->data_ = source->owned_.constData();
            source->size_ = source->owned_.size();
        }
    }
    source->file_ = std::move(file);
    return source;
}

std::shared_ptr<const PdfSourceData> PdfSourceData::fromBytes(QByteArray bytes) {
    std::shared_ptr<PdfSourceData> source(new PdfSourceData);
    source->owned_ = std::move(bytes);
    source->data_ = source->owned_.constData();
    source->size_ = source->owned_.size();
    source->description_ = QStringLiteral("(memory)");
    return source;
}

bool PdfSourceData::changedOnDisk() const {
    if (guard_ && guard_->hasFaulted())
        return true;
    if (!file_)
        return false;
    // The same open file keeps its device and inode, so only its size and time can differ.
    return !(FileIdentity::ofHandle(file_->handle()) == opened_);
}

PdfSourceData::~PdfSourceData() {
    // Unguarded first, so that no fault handled in between can lay pages where the mapping was.
    guard_.reset();
    if (file_ && owned_.isEmpty() && data_)
        file_->unmap(reinterpret_cast<uchar*>(const_cast<char*>(data_)));
}
