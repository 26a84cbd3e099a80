#include "crop/DeviceWrite.h"

#include <QIODevice>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace DeviceWrite {

void writeAll(QIODevice& out, QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        errno = 0;
        const qint64 written = out.write(bytes.data(), bytes.size());
        if (written <= 0) {
            const int error = errno;
            if (error != 0)
                throw std::system_error(error, std::generic_category());
            throw std::runtime_error(out.errorString().toStdString());
        }
        bytes = bytes.sliced(written);
    }
}

} // namespace DeviceWrite
