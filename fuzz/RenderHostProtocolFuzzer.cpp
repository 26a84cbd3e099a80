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
using SaveJobPages = std::pair<std::vector<PageGeometry>, std::vector<std::uint8_t>>;
// A page written, or the outcome.
using SaveEvent = std::pair<bool, SaveOutcome>;

QByteArray writeSaveEvent(const SaveEvent& event) {
    return event.first ? encodePageWritten() : encodeSaveOutcome(event.second);
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
    roundTrips(readPair<SaveJobPages, decodeSaveJob>(payload),
               writePair<SaveJobPages, encodeSaveJob>, readPair<SaveJobPages, decodeSaveJob>);
    roundTrips(readPair<SaveEvent, decodeSaveEvent>(payload), writeSaveEvent,
               readPair<SaveEvent, decodeSaveEvent>);
    roundTrips(decodeBytes(payload), encodeBytes, decodeBytes);
    return 0;
}
