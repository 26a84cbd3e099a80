#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// Keeps one Cropmark per user and display: a second start hands its file paths to the instance
// that already runs and exits, and that instance opens them.
//
// The channel is a local socket in a folder of this user's alone (PrivateRuntimeFolder:
// <$XDG_RUNTIME_DIR>/cropmark, else <temp dir>/cropmark-<user id>). A socket at a name anyone
// may take, as in the shared temp dir, would let another user listen first: that user would be
// handed the path of every file opened and those files would never open. In a private folder
// nobody else can put a socket, or a lock file that keeps starts waiting. When the folder is not
// private (a symbolic link, another user's, open to others) a start runs on its own. Both ends
// also ask the system which user is at the other end of a connection (SO_PEERCRED): an instance
// drops a connection of another user unread, and a start hands no path to an instance of
// another user. Next to the socket, <socket>.lock makes starts take their turn, so two Cropmarks
// started at once cannot both become the instance.
//
// A request carries a magic number, a protocol version and a length, then the paths as a
// QStringList (InstanceRequest); the instance answers once its receivers have seen the paths. A
// request that is not well formed, larger than a few megabytes or cut off is dropped without
// effect.
//
// Create and use on the GUI thread; filesReceived needs that thread's event loop.
class InstanceChannel : public QObject {
    Q_OBJECT
public:
    // What handOverOrListen made of this process.
    enum class Role {
        HandedOver, // a running instance took the paths: this process should exit
        Primary,    // this process is the instance: it opens the paths itself and receives others'
        Standalone, // an instance holds the channel but did not take the paths (it did not answer
                    // in time, or refused a request too large), the channel is not this user's
                    // alone (its folder, or the process at its other end), or there is no place to
                    // listen: this process opens the paths itself and nobody can reach it
    };

    // key names the channel; defaultKey() differs per display (WAYLAND_DISPLAY and DISPLAY), so
    // a second session, or a test on a virtual display of its own, gets an instance of its own.
    explicit InstanceChannel(const QString& key = defaultKey(), QObject* parent = nullptr);

    static QString defaultKey();

    // Hands paths to the running instance, or becomes the instance when none runs, removing the
    // socket of one that crashed. Relative paths are made absolute against this process's
    // working directory; nothing else about them changes. An empty list is a request too:
    // "show yourself". Blocks only while an instance is slow to answer, for seconds at most; not
    // at all when the channel is not this user's alone.
    Role handOverOrListen(const QStringList& paths);

signals:
    // In a Primary instance, once per request of another start, with its paths in the order
    // given (possibly none).
    void filesReceived(const QStringList& paths);

private:
    enum class Delivery { Taken, NoInstance, NoAnswer, Stranger };

    static Delivery handOver(const QString& socketPath, const QStringList& paths);
    void accept();
    void read(QLocalSocket* socket);

    const QString key_;
    QLocalServer* const server_;
};
