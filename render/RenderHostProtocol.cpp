#include "render/RenderHostProtocol.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <type_traits>
#include <unistd.h>

namespace RenderHostProtocol {

namespace {

// What a drawing request asks for.
constexpr qint32 kDraw = 0;
constexpr qint32 kMeasure = 1;

// A page view of a large screen at twice the density is about 30 MB; nothing sane is bigger.
constexpr quint32 kLargestFrame = 256u << 20;
// How much more room a message being read is given at a time.
constexpr qsizetype kReadStep = 1 << 20;

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Reads exactly size bytes before deadline.
bool readAll(int fd, char* data, qsizetype size, const QDeadlineTimer& deadline, bool* timedOut) {
    while (size > 0) {
        pollfd ready{fd, POLLIN, 0};
        const qint64 left = deadline.remainingTime();
        const int polled = ::poll(&ready, 1, left < 0 ? -1 : int(std::min<qint64>(left, 1 << 30)));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled == 0) {
            if (timedOut)
                *timedOut = true;
            return false;
        }
        const ssize_t got = ::read(fd, data, size_t(size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        size -= got;
    }
    return true;
}

// Both sides are the same program, but the format is fixed all the same.
QDataStream& versioned(QDataStream& stream) {
    stream.setVersion(QDataStream::Qt_6_0);
    return stream;
}

// A value read only if the rest of the message holds it. A string or byte array starts with
// its length, on whose word Qt would allocate up to a megabyte before finding the message
// shorter; values of other types have a fixed size.
template <class T> struct Held { T& value; };

template <class T> Held<T> held(T& value) {
    return {value};
}

template <class T> QDataStream& operator>>(QDataStream& stream, Held<T> field) {
    if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, QByteArray>) {
        // The length in bytes; all ones for a null one, which has no bytes.
        quint32 length = 0;
        QIODevice* message = stream.device();
        if (message->peek(reinterpret_cast<char*>(&length), sizeof length) == sizeof length) {
            length = qFromBigEndian(length);
            if (length != ~quint32(0) &&
                length > message->bytesAvailable() - qint64(sizeof length)) {
                stream.setStatus(QDataStream::ReadPastEnd);
                return stream;
            }
        }
    }
    return stream >> field.value;
}

// A value that may be missing: whether it is there, then the value (a default one if not).
template <class T> void writeOptional(QDataStream& stream, const std::optional<T>& value) {
    stream << value.has_value() << value.value_or(T());
}

// The value that may be missing, as writeOptional() wrote it; the stream's status says
// whether it was well formed.
template <class T> std::optional<T> readOptional(QDataStream& stream) {
    bool present = false;
    T value;
    stream >> present >> held(value);
    return present ? std::optional<T>(value) : std::optional<T>();
}

// A message of a value that may be missing.
template <class T> QByteArray encodeOptional(const std::optional<T>& value) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    writeOptional(versioned(stream), value);
    return bytes;
}

// The value that may be missing; nothing at all when payload is malformed.
template <class T> std::optional<std::optional<T>> decodeOptional(const QByteArray& payload) {
    QDataStream stream(payload);
    const std::optional<T> value = readOptional<T>(versioned(stream));
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    return value;
}

} // namespace

QByteArray encodeBoundsRequest(int pageIndex, const ContentBoundsOptions& options) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    versioned(stream) << qint32(kMeasure) << qint32(pageIndex) << qint32(options.mode)
                      << qint32(options.inkThreshold) << qint32(options.minimumSpotPixels)
                      << options.within;
    return bytes;
}

bool decodeBoundsRequest(const QByteArray& payload, int* pageIndex, ContentBoundsOptions* options) {
    QDataStream stream(payload);
    versioned(stream);
    qint32 kind = -1, page = 0, mode = 0, threshold = 0, spot = 0;
    QRectF within;
    stream >> kind >> page >> mode >> threshold >> spot >> within;
    if (stream.status() != QDataStream::Ok || kind != kMeasure || mode < 0 || mode > 2 ||
        !std::isfinite(within.x()) || !std::isfinite(within.y()) ||
        !std::isfinite(within.width()) || !std::isfinite(within.height()))
        return false;
    *pageIndex = page;
    options->mode = ContentBoundsOptions::Mode(mode);
    options->inkThreshold = threshold;
    options->minimumSpotPixels = spot;
    options->within = within;
    return true;
}

QByteArray encodeBounds(const std::optional<QRectF>& bounds) {
    return encodeOptional(bounds);
}

std::optional<std::optional<QRectF>> decodeBounds(const QByteArray& payload) {
    return decodeOptional<QRectF>(payload);
}

bool writeFrame(int fd, const QByteArray& payload) {
    const quint32 size = quint32(payload.size());
    return writeAll(fd, reinterpret_cast<const char*>(&size), sizeof size) &&
           writeAll(fd, payload.constData(), payload.size());
}

std::optional<QByteArray> readFrame(int fd, int timeoutMs, bool* timedOut) {
    const QDeadlineTimer deadline =
        timeoutMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(timeoutMs);
    quint32 size = 0;
    if (!readAll(fd, reinterpret_cast<char*>(&size), sizeof size, deadline, timedOut) ||
        size > kLargestFrame)
        return std::nullopt;
    // The payload grows as its bytes arrive: a length that lies, from a host gone wrong, costs
    // no more memory than the bytes that came.
    QByteArray payload;
    while (payload.size() < qsizetype(size)) {
        const qsizetype at = payload.size();
        const qsizetype step = std::min(qsizetype(size) - at, kReadStep);
        payload.resize(at + step);
        if (!readAll(fd, payload.data() + at, step, deadline, timedOut))
            return std::nullopt;
    }
    return payload;
}

namespace {

// One byte, and room beside it for one descriptor handed over with it.
struct DescriptorMessage {
    DescriptorMessage() {
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
    }
    DescriptorMessage(const DescriptorMessage&) = delete;
    DescriptorMessage& operator=(const DescriptorMessage&) = delete;

    char byte = 'D';
    iovec data{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
};

} // namespace

bool sendDescriptor(int socket, int fd) {
    DescriptorMessage sending;
    cmsghdr* header = CMSG_FIRSTHDR(&sending.message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof fd);
    std::memcpy(CMSG_DATA(header), &fd, sizeof fd);
    ssize_t sent = 0;
    do {
        sent = ::sendmsg(socket, &sending.message, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent == 1;
}

int receiveDescriptor(int socket) {
    DescriptorMessage received;
    received.byte = 0;
    ssize_t got = 0;
    do {
        got = ::recvmsg(socket, &received.message, MSG_CMSG_CLOEXEC);
    } while (got < 0 && errno == EINTR);
    int fd = -1;
    const cmsghdr* header = got == 1 ? CMSG_FIRSTHDR(&received.message) : nullptr;
    if (received.byte != 'D' || !header || header->cmsg_level != SOL_SOCKET ||
        header->cmsg_type != SCM_RIGHTS || header->cmsg_len != CMSG_LEN(sizeof fd))
        return -1;
    std::memcpy(&fd, CMSG_DATA(header), sizeof fd);
    // Descriptors beyond the one expected were closed by the kernel; the message is not ours.
    if (received.message.msg_flags & MSG_CTRUNC) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QByteArray encodeOpened(int pageCount, const QString& error) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    versioned(stream) << qint32(pageCount) << error;
    return bytes;
}

bool decodeOpened(const QByteArray& payload, int* pageCount, QString* error) {
    QDataStream stream(payload);
    versioned(stream);
    qint32 count = 0;
    stream >> count >> held(*error);
    *pageCount = count;
    return stream.status() == QDataStream::Ok;
}

QByteArray encodeRequest(const PageRenderRequest& request) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    versioned(stream) << qint32(kDraw) << qint32(request.pageIndex) << request.box
                      << qint32(request.rotation) << request.pixelSize
                      << double(request.devicePixelRatio);
    return bytes;
}

std::optional<PageRenderRequest> decodeRequest(const QByteArray& payload) {
    QDataStream stream(payload);
    versioned(stream);
    qint32 kind = -1, page = 0, rotation = 0;
    double ratio = 1;
    PageRenderRequest request;
    stream >> kind >> page >> request.box >> rotation >> request.pixelSize >> ratio;
    if (stream.status() != QDataStream::Ok || kind != kDraw)
        return std::nullopt;
    request.pageIndex = page;
    request.rotation = rotation;
    request.devicePixelRatio = ratio;
    return request;
}

QByteArray encodeResult(const PageRenderResult& result) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    versioned(stream) << result.error << result.image.size()
                      << double(result.image.devicePixelRatio())
                      << result.image.text(PageRenderResult::kPartlyReadKey);
    if (!result.image.isNull()) {
        const QImage image = result.image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            stream.writeRawData(reinterpret_cast<const char*>(image.constScanLine(y)),
                                image.width() * 4);
    }
    return bytes;
}

std::optional<PageRenderResult> decodeResult(const QByteArray& payload) {
    QDataStream stream(payload);
    versioned(stream);
    QString error;
    QSize size;
    double ratio = 1;
    QString partlyRead;
    stream >> held(error) >> size >> ratio >> held(partlyRead);
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    if (!error.isEmpty())
        return PageRenderResult::failure(error);
    // The pixels, four bytes each, fill the rest of the message: a size it does not hold is a
    // lie, refused before anything is allocated for it, so the picture is never larger than
    // the message, nor than the largest one that reads.
    const qint64 pixelBytes = stream.device()->bytesAvailable();
    if (pixelBytes > kLargestFrame || size.width() <= 0 || size.height() <= 0 ||
        pixelBytes % 4 != 0 || qint64(size.width()) * size.height() != pixelBytes / 4 ||
        !std::isfinite(ratio) || ratio <= 0)
        return std::nullopt;
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull() || image.sizeInBytes() != pixelBytes ||
        stream.readRawData(reinterpret_cast<char*>(image.bits()), int(pixelBytes)) != pixelBytes)
        return std::nullopt;
    image.setDevicePixelRatio(ratio);
    if (!partlyRead.isEmpty())
        image.setText(PageRenderResult::kPartlyReadKey, partlyRead);
    return PageRenderResult::success(std::move(image));
}

namespace {

// A page's geometry in bytes of a fixed size, written and read in one go: through a data
// stream, value by value, the pages of a 10,000-page file took tens of milliseconds each way.
// The rotation, whether the page is damaged, whether it keeps original boxes, whether it is part
// of a split page, its page in the file and the part's three numbers (zeros if none), each a
// little-endian 32-bit integer, then its boxes and the kept ones (zeros if none), each as four
// little-endian doubles.
constexpr qsizetype kBoxesBytes = kPdfBoxCount * 4 * qsizetype(sizeof(double));
constexpr qsizetype kPageBytes = 4 + 1 + 1 + 1 + 4 * 4 + 2 * kBoxesBytes;

void putBoxes(uchar*& at, const std::array<QRectF, kPdfBoxCount>& boxes) {
    for (const QRectF& box : boxes) {
        for (const double value : {box.x(), box.y(), box.width(), box.height()}) {
            qToLittleEndian(std::bit_cast<quint64>(value), at);
            at += sizeof value;
        }
    }
}

std::array<QRectF, kPdfBoxCount> takeBoxes(const uchar*& at) {
    std::array<QRectF, kPdfBoxCount> boxes;
    for (QRectF& box : boxes) {
        double values[4];
        for (double& value : values) {
            value = std::bit_cast<double>(qFromLittleEndian<quint64>(at));
            at += sizeof value;
        }
        box = QRectF(values[0], values[1], values[2], values[3]);
    }
    return boxes;
}

QByteArray encodePageList(PagesRead::Outcome outcome, const QString& reason,
                          const std::vector<PageGeometry>& pages) {
    QByteArray records(qsizetype(pages.size()) * kPageBytes, Qt::Uninitialized);
    auto* at = reinterpret_cast<uchar*>(records.data());
    for (const PageGeometry& page : pages) {
        qToLittleEndian(qint32(page.rotation), at);
        at[4] = page.damaged;
        at[5] = page.keptOriginal.has_value();
        at[6] = page.part.has_value();
        at += 7;
        const PagePart part = page.part.value_or(PagePart{0, 0, 0});
        for (const int value : {page.filePage, part.page, part.index, part.count}) {
            qToLittleEndian(qint32(value), at);
            at += 4;
        }
        putBoxes(at, page.boxes);
        putBoxes(at, page.keptOriginal.value_or(std::array<QRectF, kPdfBoxCount>()));
    }
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    versioned(stream) << qint32(outcome) << reason << quint32(pages.size());
    stream.writeRawData(records.constData(), int(records.size()));
    return bytes;
}

} // namespace

QByteArray encodePages(const PagesRead& read) {
    return encodePageList(read.outcome, read.reason, read.pages);
}

std::optional<PagesRead> decodePages(const QByteArray& payload) {
    QDataStream stream(payload);
    versioned(stream);
    qint32 outcome = 0;
    quint32 count = 0;
    PagesRead read;
    stream >> outcome >> held(read.reason) >> count;
    // The pages fill the rest of the message exactly: a count it cannot hold is a lie.
    const qint64 left = stream.device() ? stream.device()->bytesAvailable() : 0;
    if (stream.status() != QDataStream::Ok || outcome < 0 ||
        outcome > qint32(PagesRead::Outcome::OutOfMemory) || left != qint64(count) * kPageBytes)
        return std::nullopt;
    read.outcome = PagesRead::Outcome(outcome);
    read.pages.resize(count);
    const auto* at = reinterpret_cast<const uchar*>(payload.constData()) + (payload.size() - left);
    for (PageGeometry& page : read.pages) {
        page.rotation = qFromLittleEndian<qint32>(at);
        page.damaged = at[4] != 0;
        const bool kept = at[5] != 0;
        const bool isPart = at[6] != 0;
        at += 7;
        qint32 numbers[4];
        for (qint32& value : numbers) {
            value = qFromLittleEndian<qint32>(at);
            at += 4;
        }
        page.filePage = numbers[0];
        if (const PagePart part{numbers[1], numbers[2], numbers[3]}; isPart && part.isValid())
            page.part = part;
        page.boxes = takeBoxes(at);
        const std::array<QRectF, kPdfBoxCount> original = takeBoxes(at);
        if (kept)
            page.keptOriginal = original;
    }
    return read;
}

QByteArray encodeSaveJob(const SaveJob& job) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    versioned(stream) << encodePageList(PagesRead::Outcome::Read, QString(), job.pages)
                      << QByteArray(reinterpret_cast<const char*>(job.setBoxes.data()),
                                    qsizetype(job.setBoxes.size()))
                      << job.choices.keepsOriginalBoxes << job.choices.removesPassword
                      << job.choices.removesOutside;
    return bytes;
}

bool decodeSaveJob(const QByteArray& payload, SaveJob* job) {
    QDataStream stream(payload);
    versioned(stream);
    QByteArray encodedPages, boxes;
    bool keepsOriginalBoxes = true;
    bool removesPassword = false;
    bool removesOutside = false;
    stream >> held(encodedPages) >> held(boxes) >> keepsOriginalBoxes >> removesPassword >>
        removesOutside;
    std::optional<PagesRead> read = decodePages(encodedPages);
    if (stream.status() != QDataStream::Ok || !read || read->pages.size() != size_t(boxes.size()))
        return false;
    job->pages = std::move(read->pages);
    job->setBoxes.assign(boxes.begin(), boxes.end());
    job->choices = {keepsOriginalBoxes, removesPassword, removesOutside};
    return true;
}

QByteArray encodePagesWritten(int count) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    versioned(stream) << true << qint32(count);
    return bytes;
}

QByteArray encodeSaveOutcome(const SaveOutcome& outcome) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    versioned(stream) << false << outcome.written << outcome.error << qint32(outcome.systemError)
                      << outcome.readsBack << outcome.outOfMemory << qint32(outcome.removed.size());
    for (const RemovedOutside& page : outcome.removed) {
        stream << qint32(page.page) << qint32(page.glyphs) << qint32(page.images)
               << qint32(page.paths) << qint32(page.annotations) << qint64(page.bytes);
    }
    return bytes;
}

bool decodeSaveEvent(const QByteArray& payload, int* pagesWritten, SaveOutcome* outcome) {
    QDataStream stream(payload);
    versioned(stream);
    bool pages = false;
    stream >> pages;
    qint32 count = 0;
    if (pages) {
        stream >> count;
        // A message that counts no pages would read as the outcome.
        if (count <= 0)
            return false;
    } else {
        qint32 error = 0;
        qint32 removed = 0;
        stream >> outcome->written >> held(outcome->error) >> error >> outcome->readsBack >>
            outcome->outOfMemory >> removed;
        outcome->systemError = error;
        // Each page's record takes 28 bytes: more than the message holds is a lie.
        if (removed < 0 || removed > payload.size() / 28)
            return false;
        outcome->removed.resize(size_t(removed));
        for (RemovedOutside& page : outcome->removed) {
            qint32 number = 0, glyphs = 0, images = 0, paths = 0, annotations = 0;
            qint64 bytes = 0;
            stream >> number >> glyphs >> images >> paths >> annotations >> bytes;
            page = {number, glyphs, images, paths, annotations, bytes};
        }
    }
    *pagesWritten = count;
    return stream.status() == QDataStream::Ok;
}

QByteArray encodeCopyWritten(bool written) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    versioned(stream) << written;
    return bytes;
}

std::optional<bool> decodeCopyWritten(const QByteArray& payload) {
    QDataStream stream(payload);
    bool written = false;
    versioned(stream) >> written;
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    return written;
}

} // namespace RenderHostProtocol
