#include "platform/InstanceChannel.h"

#include "platform/InstanceRequest.h"
#include "platform/NativePath.h"
#include "platform/PrivateRuntimeFolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

#include <optional>

namespace {

// A running instance answers within milliseconds unless its GUI thread is busy, as while it
// still starts up; past this a start gives up and opens its files itself.
constexpr int kAnswerLimitMs = 5000;
// Longer than one start holds the lock while it waits for an answer.
constexpr int kLockWaitMs = 3 * kAnswerLimitMs;
// A client that connects and then stalls must not hold its connection for ever.
constexpr int kRequestLimitMs = 10000;

// Whether the process at the other end of a connection runs as this user: as it connected, for
// a start; as it began to listen, for an instance.
bool isOurUser(const QLocalSocket& socket) {
    ucred peer = {};
    socklen_t size = sizeof peer;
    return getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           size == sizeof peer && peer.uid == geteuid();
}

void drop(QLocalSocket* socket) {
    socket->abort();
    socket->deleteLater();
}

} // namespace

InstanceChannel::InstanceChannel(const QString& key, QObject* parent)
    : QObject(parent), key_(key), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::accept);
}

QString InstanceChannel::defaultKey() {
    // A display name may hold a path (a Wayland socket given in full) or a host name.
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._:-]"));
    return QStringLiteral("instance-%1-%2")
        .arg(qEnvironmentVariable("WAYLAND_DISPLAY").replace(unsafe, QStringLiteral("_")),
             qEnvironmentVariable("DISPLAY").replace(unsafe, QStringLiteral("_")));
}

InstanceChannel::Role InstanceChannel::handOverOrListen(const QStringList& paths) {
    QStringList absolutePaths;
    for (const QString& path : paths)
        absolutePaths << NativePath::absolute(path);

    const std::optional<QString> folder = PrivateRuntimeFolder::open(QStringLiteral("cropmark"));
    if (!folder)
        return Role::Standalone;
    const QString socketPath = QDir(*folder).filePath(key_);

    // Listening cannot tell that the name is taken (a socket restricted to its user is renamed
    // into place, over whatever is there), so starts take turns: whoever finds no instance
    // becomes it before the next one asks. In a folder of our own only our starts can hold the
    // lock, so a wait for it is a wait for one of them.
    QLockFile lock(socketPath + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        return Role::Standalone;
    switch (handOver(socketPath, absolutePaths)) {
    case Delivery::Taken:
        return Role::HandedOver;
    case Delivery::NoAnswer:
    case Delivery::Stranger:
        // Something listens, so the name is not ours to take.
        return Role::Standalone;
    case Delivery::NoInstance:
        break;
    }
    // Nobody listens: whatever is there was left by an instance that crashed.
    QLocalServer::removeServer(socketPath);
    return server_->listen(socketPath) ? Role::Primary : Role::Standalone;
}

InstanceChannel::Delivery InstanceChannel::handOver(const QString& socketPath,
                                                    const QStringList& paths) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kAnswerLimitMs))
        return Delivery::NoInstance;
    if (!isOurUser(socket))
        return Delivery::Stranger;
    socket.write(InstanceRequest::encode(paths));
    const QDeadlineTimer deadline(kAnswerLimitMs);
    while (socket.bytesAvailable() < InstanceRequest::kAnswerSize) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())))
            return Delivery::NoAnswer;
    }
    return InstanceRequest::isAnswer(socket.read(InstanceRequest::kAnswerSize))
               ? Delivery::Taken
               : Delivery::NoAnswer;
}

void InstanceChannel::accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (!isOurUser(*socket)) {
            drop(socket);
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        QTimer::singleShot(kRequestLimitMs, socket, [socket] { drop(socket); });
    }
}

void InstanceChannel::read(QLocalSocket* socket) {
    if (socket->bytesAvailable() < InstanceRequest::kHeaderSize)
        return;
    const std::optional<quint32> size =
        InstanceRequest::payloadSize(socket->peek(InstanceRequest::kHeaderSize));
    if (!size) {
        drop(socket);
        return;
    }
    if (socket->bytesAvailable() < InstanceRequest::kHeaderSize + *size)
        return;
    socket->skip(InstanceRequest::kHeaderSize);
    const std::optional<QStringList> paths = InstanceRequest::paths(socket->read(*size));
    if (!paths) {
        drop(socket);
        return;
    }
    // One request per connection; a receiver may run an event loop (a dialog) and the client
    // may go meanwhile.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    const QPointer<QLocalSocket> guard(socket);
    emit filesReceived(*paths);
    if (!guard)
        return;
    socket->write(InstanceRequest::encodeAnswer());
    socket->disconnectFromServer();
}
