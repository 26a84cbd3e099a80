// Untrusted bytes as a message from the other side of the render host's pipes, through every
// decoder. Whatever the bytes, a decoder refuses them or gives a value that, written again,
// reads back as a value written the same: what the encoder writes, the decoder reads. A lying
// length allocates nothing beyond the message, which libFuzzer's memory limit enforces.
// The same bytes are also the stream a pipe carries: the frames read from it one by one are
// the bytes their lengths announce, and reading stops only where no whole frame is left.

#include "fuzz/FuzzRequire.h"
#include "render/RenderHostProtocol.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

namespace {

using namespace RenderHostProtocol;

template <class Value>
void roundTrips(const std::optional<Value>& decoded, QByteArray (*encode)(const Value&),
                std::optional<Value> (*decode)(const QByteArray&)) {
    if (!decoded)
        return;
    const QByteArray written = encode(*decoded);
    const std::optional<Value> again = decode(written);
    FUZZ_REQUIRE(again && encode(*again) == written);
}

// The decoders that fill in two arguments, and their encoders, over the pair of them.
template <class Pair, auto decode> std::optional<Pair> readPair(const QByteArray& payload) {
    Pair value;
    return decode(payload, &value.first, &value.second) ? std::optional(value) : std::nullopt;
}

template <class Pair, auto encode> QByteArray writePair(const Pair& value) {
    return encode(value.first, value.second);
}

using Opened = std::pair<int, QString>;
using BoundsRequest = std::pair<int, ContentBoundsOptions>;
// Pages written, or the outcome.
using SaveEvent = std::pair<int, SaveOutcome>;

std::optional<SaveJob> readSaveJob(const QByteArray& payload) {
    SaveJob job;
    return decodeSaveJob(payload, &job) ? std::optional(job) : std::nullopt;
}

QByteArray writeSaveEvent(const SaveEvent& event) {
    return event.first > 0 ? encodePagesWritten(event.first) : encodeSaveOutcome(event.second);
}

// A file in memory holding stream, read from its start; -1 when there is none.
int fileOf(const QByteArray& stream) {
    const int fd = memfd_create("frames", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::write(fd, stream.constData(), size_t(stream.size())) != stream.size() ||
        ::lseek(fd, 0, SEEK_SET) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The length of the frame that starts at at.
quint32 announcedAt(const QByteArray& stream, qsizetype at) {
    quint32 size = 0;
    std::memcpy(&size, stream.constData() + at, sizeof size);
    return size;
}

void readsFrames(const QByteArray& stream) {
    const int fd = fileOf(stream);
    FUZZ_REQUIRE(fd >= 0);
    qsizetype at = 0;
    // A file has all its bytes at once: reading does not wait for the time limit.
    while (const std::optional<QByteArray> frame = readFrame(fd, 0)) {
        FUZZ_REQUIRE(stream.size() - at >= qsizetype(sizeof(quint32)));
        const qsizetype size = announcedAt(stream, at);
        at += qsizetype(sizeof(quint32));
        FUZZ_REQUIRE(size <= stream.size() - at && *frame == stream.mid(at, size));
        at += size;
    }
    ::close(fd);
    const qsizetype left = stream.size() - at;
    FUZZ_REQUIRE(left < qsizetype(sizeof(quint32)) ||
                 announcedAt(stream, at) > left - qsizetype(sizeof(quint32)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray payload(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    roundTrips(readPair<Opened, decodeOpened>(payload), writePair<Opened, encodeOpened>,
               readPair<Opened, decodeOpened>);
    roundTrips(decodeRequest(payload), encodeRequest, decodeRequest);
    roundTrips(readPair<BoundsRequest, decodeBoundsRequest>(payload),
               writePair<BoundsRequest, encodeBoundsRequest>,
               readPair<BoundsRequest, decodeBoundsRequest>);
    roundTrips(decodeBounds(payload), encodeBounds, decodeBounds);
    roundTrips(decodeResult(payload), encodeResult, decodeResult);
    roundTrips(decodePages(payload), encodePages, decodePages);
    roundTrips(readSaveJob(payload), encodeSaveJob, readSaveJob);
    roundTrips(readPair<SaveEvent, decodeSaveEvent>(payload), writeSaveEvent,
               readPair<SaveEvent, decodeSaveEvent>);
    roundTrips(
        decodeCopyWritten(payload), +[](const bool& written) { return encodeCopyWritten(written); },
        decodeCopyWritten);
    readsFrames(payload);
    return 0;
}
