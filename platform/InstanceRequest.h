#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <optional>

// What a start hands to the running instance over the instance channel, and the instance's
// answer, as bytes: a magic number, a protocol version and a payload length, each 32 bits big
// endian, then the payload, the paths as a QStringList of Qt 6's data stream. The bytes come
// from another process, so reading them trusts nothing they say. Pure; any thread.
namespace InstanceRequest {

// The magic number, version and payload length.
inline constexpr qsizetype kHeaderSize = 12;
// Room for thousands of paths; a start with more opens them itself.
inline constexpr quint32 kMaxPayloadSize = 4 * 1024 * 1024;

// The request that hands over paths, header and payload.
QByteArray encode(const QStringList& paths);
// The length of the payload that follows header (its first kHeaderSize bytes); nothing when
// they are not the header of a request of this version, or announce more than
// kMaxPayloadSize bytes.
std::optional<quint32> payloadSize(QByteArrayView header);
// The paths of payload; nothing when it is not exactly one list of strings.
std::optional<QStringList> paths(const QByteArray& payload);

// What the instance answers once it has taken the paths: the magic number.
inline constexpr qsizetype kAnswerSize = 4;
QByteArray encodeAnswer();
// Whether answer says the paths were taken.
bool isAnswer(QByteArrayView answer);

} // namespace InstanceRequest
