// Untrusted bytes as what another process sends over the instance channel, read as the running
// instance reads a connection: the header first, then, once it has arrived, the payload the
// header announces. Whatever the bytes, paths read are exactly what the request they came in
// is written as: nothing of it is left unread, added or read past its end.

#include "fuzz/FuzzRequire.h"
#include "platform/InstanceRequest.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray received(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<quint32> payloadSize = InstanceRequest::payloadSize(received);
    if (!payloadSize)
        return 0;
    FUZZ_REQUIRE(received.size() >= InstanceRequest::kHeaderSize &&
                 *payloadSize <= InstanceRequest::kMaxPayloadSize);
    const qsizetype requestSize = InstanceRequest::kHeaderSize + qsizetype(*payloadSize);
    if (received.size() < requestSize)
        return 0;
    const std::optional<QStringList> paths =
        InstanceRequest::paths(received.mid(InstanceRequest::kHeaderSize, *payloadSize));
    if (paths)
        FUZZ_REQUIRE(InstanceRequest::encode(*paths) == received.first(requestSize));
    return 0;
}
