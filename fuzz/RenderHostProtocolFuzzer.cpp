// Untrusted bytes as a message from the other side of the render host's pipes, through every
// decoder. Whatever the bytes, a decoder refuses them or gives a value that, written again,
// reads back as a value written the same: what the encoder writes, the decoder reads. A lying
// length allocates nothing beyond the message, which libFuzzer's memory limit enforces.

#include "fuzz/FuzzRequire.h"
#include "render/RenderHostProtocol.h"

#include <cstdint>
#include <utility>

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

// The decoders that fill in their arguments, and their encoders, over one value each.

using Opened = std::pair<int, QString>;

std::optional<Opened> readOpened(const QByteArray& payload) {
    Opened opened;
    return decodeOpened(payload, &opened.first, &opened.second) ? std::optional(opened)
                                                                : std::nullopt;
}

QByteArray writeOpened(const Opened& opened) {
    return encodeOpened(opened.first, opened.second);
}

using BoundsRequest = std::pair<int, ContentBoundsOptions>;

std::optional<BoundsRequest> readBoundsRequest(const QByteArray& payload) {
    BoundsRequest request;
    return decodeBoundsRequest(payload, &request.first, &request.second) ? std::optional(request)
                                                                         : std::nullopt;
}

QByteArray writeBoundsRequest(const BoundsRequest& request) {
    return encodeBoundsRequest(request.first, request.second);
}

using SaveJobPages = std::pair<std::vector<PageGeometry>, std::vector<std::uint8_t>>;

std::optional<SaveJobPages> readSaveJob(const QByteArray& payload) {
    SaveJobPages job;
    return decodeSaveJob(payload, &job.first, &job.second) ? std::optional(job) : std::nullopt;
}

QByteArray writeSaveJob(const SaveJobPages& job) {
    return encodeSaveJob(job.first, job.second);
}

// A page written, or the outcome.
using SaveEvent = std::pair<bool, SaveOutcome>;

std::optional<SaveEvent> readSaveEvent(const QByteArray& payload) {
    SaveEvent event;
    return decodeSaveEvent(payload, &event.first, &event.second) ? std::optional(event)
                                                                 : std::nullopt;
}

QByteArray writeSaveEvent(const SaveEvent& event) {
    return event.first ? encodePageWritten() : encodeSaveOutcome(event.second);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray payload(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    roundTrips(readOpened(payload), writeOpened, readOpened);
    roundTrips(decodeRequest(payload), encodeRequest, decodeRequest);
    roundTrips(readBoundsRequest(payload), writeBoundsRequest, readBoundsRequest);
    roundTrips(decodeBounds(payload), encodeBounds, decodeBounds);
    roundTrips(decodeResult(payload), encodeResult, decodeResult);
    roundTrips(decodePages(payload), encodePages, decodePages);
    roundTrips(readSaveJob(payload), writeSaveJob, readSaveJob);
    roundTrips(readSaveEvent(payload), writeSaveEvent, readSaveEvent);
    roundTrips(decodeBytes(payload), encodeBytes, decodeBytes);
    return 0;
}
