#include "platform/InstanceRequest.h"

#include <QDataStream>
#include <QIODevice>

namespace InstanceRequest {

namespace {

constexpr quint32 kMagic = 0x43524d4b;
constexpr quint32 kVersion = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

} // namespace

QByteArray encode(const QStringList& paths) {
    QByteArray payload;
    QDataStream payloadStream(&payload, QIODevice::WriteOnly);
    payloadStream.setVersion(kStreamVersion);
    payloadStream << paths;

    QByteArray request;
    QDataStream stream(&request, QIODevice::WriteOnly);
    stream << kMagic << kVersion << quint32(payload.size());
    stream.writeRawData(payload.constData(), int(payload.size()));
    return request;
}

std::optional<quint32> payloadSize(QByteArrayView header) {
    if (header.size() < kHeaderSize)
        return std::nullopt;
    quint32 magic = 0, version = 0, size = 0;
    QDataStream(header.first(kHeaderSize).toByteArray()) >> magic >> version >> size;
    if (magic != kMagic || version != kVersion || size > kMaxPayloadSize)
        return std::nullopt;
    return size;
}

std::optional<QStringList> paths(const QByteArray& payload) {
    QDataStream stream(payload);
    stream.setVersion(kStreamVersion);
    // Read string by string, in the list's own format: reading a QStringList reserves room for
    // as many strings as the count claims before it reads any, and a forged count is billions.
    quint32 count = 0;
    stream >> count;
    QStringList paths;
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        QString path;
        stream >> path;
        paths << path;
    }
    if (stream.status() != QDataStream::Ok || !stream.atEnd())
        return std::nullopt;
    return paths;
}

QByteArray encodeAnswer() {
    QByteArray answer;
    QDataStream(&answer, QIODevice::WriteOnly) << kMagic;
    return answer;
}

bool isAnswer(QByteArrayView answer) {
    return answer == encodeAnswer();
}

} // namespace InstanceRequest
