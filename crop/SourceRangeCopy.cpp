#include "crop/SourceRangeCopy.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace SourceRangeCopy {

namespace {

// False, with nothing copied, where the kernel cannot copy between these files.
bool kernelCopy(const PdfSourceData& data, qint64 from, qint64 to, QIODevice& out) {
    auto* file = qobject_cast<QFile*>(&out);
    if (!file || data.fileHandle() < 0 || !file->flush())
        return false;
    loff_t offset = from;
    while (offset < to) {
        const ssize_t copied = copy_file_range(data.fileHandle(), &offset, file->handle(), nullptr,
                                               static_cast<size_t>(to - offset), 0);
        if (copied > 0)
            continue;
        if (offset == from && copied < 0 &&
            (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            return false;
        throw std::runtime_error(copied < 0 ? std::strerror(errno) : "the source file ended early");
    }
    return true;
}

} // namespace

void copy(const PdfSourceData& data, qint64 from, qint64 to, QIODevice& out) {
    if (kernelCopy(data, from, to, out))
        return;
    if (out.write(data.data() + from, to - from) != to - from)
        throw std::runtime_error(out.errorString().toStdString());
}

} // namespace SourceRangeCopy
