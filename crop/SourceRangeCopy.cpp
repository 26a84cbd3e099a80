#include "crop/SourceRangeCopy.h"

#include "crop/DeviceWrite.h"

#include <QFile>

#include <cerrno>
#include <stdexcept>
#include <system_error>
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
        if (copied < 0)
            throw std::system_error(errno, std::generic_category());
        throw std::runtime_error("the source file ended early");
    }
    return true;
}

} // namespace

void copy(const PdfSourceData& data, qint64 from, qint64 to, QIODevice& out) {
    if (kernelCopy(data, from, to, out))
        return;
    DeviceWrite::writeAll(out, data.bytes().sliced(from, to - from));
}

} // namespace SourceRangeCopy
