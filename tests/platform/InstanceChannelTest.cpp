#include "platform/InstanceChannel.h"

#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTemporaryDir>
#include <QThread>

#include <sys/fsuid.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace {

using ::PrintTo;
using Role = InstanceChannel::Role;

const QString kKey = QStringLiteral("test-instance");
constexpr int kGenerousMs = 30000;
// A start that waits for a lock held by a live process waits 15 s.
constexpr int kShorterThanALockWaitMs = 10000;

// Requests as they go over the wire, for writing ones that no Cropmark would send.
template <typename... Values> QByteArray streamed(const Values&... values) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    (stream << ... << values);
    return bytes;
}
QByteArray request(quint32 version, const QByteArray& payload, quint32 size) {
    return streamed(quint32(0x43524d4b), version, size) + payload;
}
const QStringList kRawPaths{"/raw.pdf"};
const QByteArray kRawPayload = streamed(kRawPaths);

// The user another user's processes run as ("nobody").
constexpr uid_t kOtherUser = 65534;

// How a process of the other user ends: what came to it over its connection.
enum ChildResult { kGotNothing, kGotBytes, kSetUpFailed };

// Runs work in a child process whose sockets carry kOtherUser's id, while it still passes this
// test's folders as root does (root stays its real and file system user); returns the child's
// id. work returns a ChildResult and makes only calls that are safe after fork() in a process
// with threads.
template <typename Work> pid_t asAnotherUser(Work work) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(kGenerousMs / 1000);
        if (setresuid(uid_t(-1), kOtherUser, uid_t(-1)) != 0)
            _exit(kSetUpFailed);
        setfsuid(0);
        _exit(work());
    }
    return child;
}

int exitStatusOf(pid_t child) {
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Reads until the other end hangs up.
ChildResult drained(int socket) {
    char bytes[4096];
    bool any = false;
    while (read(socket, bytes, sizeof bytes) > 0)
        any = true;
    return any ? kGotBytes : kGotNothing;
}

sockaddr_un addressOf(const QString& path) {
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(),
                std::min(sizeof address.sun_path - 1, size_t(name.size())));
    return address;
}

bool makeFolder(const QString& path, mode_t mode) {
    const QByteArray name = QFile::encodeName(path);
    return mkdir(name.constData(), 0700) == 0 && chmod(name.constData(), mode) == 0;
}

class InstanceChannelTest : public testing::Test {
protected:
    void SetUp() override { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path())); }
    // Put back for the next test, whose folders are made in the temp dir.
    void TearDown() override { tmpDir ? qputenv("TMPDIR", *tmpDir) : qunsetenv("TMPDIR"); }

    void startRunning() {
        running.emplace(kKey);
        ASSERT_EQ(running->handOverOrListen({}), Role::Primary);
        QObject::connect(&*running, &InstanceChannel::filesReceived,
                         [this](const QStringList& paths) { received << paths; });
    }

    // Runs work on a thread of its own, as another process would, while this thread's event loop
    // lets the running instance answer.
    template <typename Work> auto whileRunning(Work work) {
        decltype(work()) result{};
        QEventLoop loop;
        std::unique_ptr<QThread> thread(QThread::create([&] { result = work(); }));
        QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
        thread->start();
        loop.exec();
        thread->wait();
        return result;
    }

    Role startAnother(const QStringList& paths) {
        return whileRunning([&] { return InstanceChannel(kKey).handOverOrListen(paths); });
    }

    // Where starts keep the channel: in runtimeDir, or with useTempDir in dir.
    QString runtimeFolder() const { return QDir(runtimeDir.path()).filePath("cropmark"); }
    QString socketPath() const { return QDir(runtimeFolder()).filePath(kKey); }
    static QString useTempDir(const QString& dir) {
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(dir));
        return QDir(dir).filePath(QStringLiteral("cropmark-%1").arg(geteuid()));
    }

    const std::optional<QByteArray> tmpDir =
        qEnvironmentVariableIsSet("TMPDIR") ? std::optional(qgetenv("TMPDIR")) : std::nullopt;
    QTemporaryDir runtimeDir;
    std::optional<InstanceChannel> running;
    QList<QStringList> received;
};

// What a crash leaves: a socket file nobody listens on (closing a server removes its file, which
// was moved away first). A start takes it over, and each later start's paths arrive once,
// unchanged, in order and absolute.
TEST_F(InstanceChannelTest, AStartTakesOverACrashedInstancesSocketAndPathsArriveUnchanged) {
    ASSERT_TRUE(makeFolder(runtimeFolder(), 0700));
    QLocalServer crashed;
    ASSERT_TRUE(crashed.listen(socketPath() + ".moved"));
    ASSERT_TRUE(QFile::rename(socketPath() + ".moved", socketPath()));
    crashed.close();

    startRunning();
    const QStringList oddNames{"/d/a b.pdf", "/d/Ünï 文件 📄.pdf", "/d/100%25 %41+.pdf",
                               "/d/line\nbreak.pdf", "/d/a b.pdf"};
    EXPECT_EQ(startAnother(oddNames), Role::HandedOver);
    EXPECT_EQ(startAnother({}), Role::HandedOver); // "show yourself"
    EXPECT_EQ(startAnother({"sub dir/x.pdf"}), Role::HandedOver);
    EXPECT_EQ(received,
              (QList<QStringList>{oddNames, {}, {QDir::currentPath() + "/sub dir/x.pdf"}}));
}

// A start whose request is too large runs on its own; requests that no Cropmark would send are
// dropped. Either way the instance keeps its channel and serves the next start.
TEST_F(InstanceChannelTest, TooLargeAndMalformedRequestsAreDroppedWithoutEffect) {
    startRunning();
    EXPECT_EQ(startAnother(QStringList(5000, "/" + QString(1000, u'x'))), Role::Standalone);
    // Sends bytes as a program that is not Cropmark might, then waits for the instance to hang up.
    const auto sendRaw = [this](const QByteArray& bytes, bool hangUpFirst) {
        return whileRunning([&] {
            QLocalSocket socket;
            socket.connectToServer(socketPath());
            socket.write(bytes);
            socket.waitForBytesWritten(kGenerousMs);
            return hangUpFirst || socket.state() == QLocalSocket::UnconnectedState ||
                   socket.waitForDisconnected(kGenerousMs);
        });
    };
    // Well formed, so these requests are known to reach the instance in its format.
    EXPECT_TRUE(sendRaw(request(1, kRawPayload, kRawPayload.size()), false));
    for (const QByteArray& bytes :
         {QByteArray("GET / HTTP/1.1\r\nHost: x\r\n\r\n"),
          request(2, kRawPayload, kRawPayload.size()), request(1, streamed(~quint32(0)), 4),
          request(1, streamed(1u, 3u) + "abc", 11)})
        EXPECT_TRUE(sendRaw(bytes, false)) << bytes.toHex().constData();
    EXPECT_TRUE(sendRaw(request(1, kRawPayload.left(9), kRawPayload.size()), true));
    EXPECT_EQ(startAnother({"/next.pdf"}), Role::HandedOver);
    EXPECT_EQ(received, (QList<QStringList>{kRawPaths, {"/next.pdf"}}));
}

// What another user could have made of where this user's channel goes before it first started.
enum class Squat {
    FolderIsASymlink,
    FolderOpenToAll,
    FolderOfAnotherUser,
    TempDirWithoutStickyBit
};

struct SquatCase {
    const char* name;
    bool inRuntimeDir; // else in the temp dir
    Squat squat;
};

class SquattedChannelTest : public InstanceChannelTest,
                            public testing::WithParamInterface<SquatCase> {};

// The other user listens there and holds the lock, which would keep a start that waits for it
// waiting for seconds.
TEST_P(SquattedChannelTest, AStartRunsOnItsOwnAtOnceAndHandsNothingToWhatListensThere) {
    const SquatCase& c = GetParam();
    if (c.squat == Squat::FolderOfAnotherUser && geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    const QString folder = c.inRuntimeDir ? runtimeFolder() : useTempDir(runtimeDir.path());
    switch (c.squat) {
    case Squat::FolderIsASymlink:
        ASSERT_TRUE(makeFolder(runtimeDir.filePath("elsewhere"), 0700));
        ASSERT_TRUE(QFile::link(runtimeDir.filePath("elsewhere"), folder));
        break;
    case Squat::FolderOpenToAll:
        ASSERT_TRUE(makeFolder(folder, 0777));
        break;
    case Squat::FolderOfAnotherUser:
        ASSERT_TRUE(makeFolder(folder, 0700));
        ASSERT_EQ(chown(QFile::encodeName(folder).constData(), kOtherUser, kOtherUser), 0);
        break;
    case Squat::TempDirWithoutStickyBit:
        ASSERT_TRUE(makeFolder(folder, 0700));
        ASSERT_EQ(chmod(QFile::encodeName(runtimeDir.path()).constData(), 0777), 0);
        break;
    }
    QLocalServer planted;
    ASSERT_TRUE(planted.listen(QDir(folder).filePath(kKey)));
    QLockFile plantedLock(QDir(folder).filePath(kKey + ".lock"));
    ASSERT_TRUE(plantedLock.tryLock(0));

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(InstanceChannel(kKey).handOverOrListen({"/secret.pdf"}), Role::Standalone);
    EXPECT_LT(timer.elapsed(), kShorterThanALockWaitMs) << "a start waited for the planted lock";
    planted.waitForNewConnection(0);
    EXPECT_FALSE(planted.hasPendingConnections());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SquattedChannelTest,
    testing::Values(SquatCase{"RuntimeFolderIsASymlink", true, Squat::FolderIsASymlink},
                    SquatCase{"TempFolderIsASymlink", false, Squat::FolderIsASymlink},
                    SquatCase{"RuntimeFolderOpenToAll", true, Squat::FolderOpenToAll},
                    SquatCase{"TempFolderOpenToAll", false, Squat::FolderOpenToAll},
                    SquatCase{"RuntimeFolderOfAnotherUser", true, Squat::FolderOfAnotherUser},
                    SquatCase{"TempFolderOfAnotherUser", false, Squat::FolderOfAnotherUser},
                    // Anyone could swap the folder for another once it has been checked.
                    SquatCase{"TempDirWithoutStickyBit", false, Squat::TempDirWithoutStickyBit}),
    CaseName());

// Anyone could swap the channel's folder in such a runtime dir for another once it has been
// checked.
TEST_F(InstanceChannelTest, ARuntimeDirOthersMayWriteToIsPassedOverForTheTempDir) {
    ASSERT_EQ(chmod(QFile::encodeName(runtimeDir.path()).constData(), 0777), 0);
    QTemporaryDir temp;
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    startRunning();
    EXPECT_EQ(startAnother({"/a.pdf"}), Role::HandedOver);
    EXPECT_TRUE(QFileInfo::exists(QDir(useTempDir(temp.path())).filePath(kKey)));
    EXPECT_FALSE(QFileInfo::exists(runtimeFolder()));
}

TEST_F(InstanceChannelTest, AStartHandsNothingToAnInstanceOfAnotherUser) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can start a process of another user";
    ASSERT_TRUE(makeFolder(runtimeFolder(), 0700));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const sockaddr_un address = addressOf(socketPath());
    const pid_t child = asAnotherUser([&] {
        const int server = socket(AF_UNIX, SOCK_STREAM, 0);
        if (bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            listen(server, 1) != 0 || write(ready[1], "", 1) != 1)
            return kSetUpFailed;
        const int connection = accept(server, nullptr, nullptr);
        return connection < 0 ? kSetUpFailed : drained(connection);
    });
    close(ready[1]);
    char listening = 0;
    EXPECT_EQ(read(ready[0], &listening, 1), 1);
    close(ready[0]);

    EXPECT_EQ(InstanceChannel(kKey).handOverOrListen({"/secret.pdf"}), Role::Standalone);
    EXPECT_EQ(exitStatusOf(child), kGotNothing);
}

TEST_F(InstanceChannelTest, AnInstanceDropsTheRequestOfAnotherUserUnread) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can start a process of another user";
    startRunning();
    const sockaddr_un address = addressOf(socketPath());
    const QByteArray bytes = request(1, kRawPayload, kRawPayload.size());
    const pid_t child = asAnotherUser([&] {
        const int client = socket(AF_UNIX, SOCK_STREAM, 0);
        if (connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            return kSetUpFailed;
        // The instance may hang up before the request is out.
        send(client, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
        return drained(client);
    });
    EXPECT_EQ(whileRunning([&] { return exitStatusOf(child); }), kGotNothing);
    EXPECT_EQ(startAnother({"/next.pdf"}), Role::HandedOver);
    EXPECT_EQ(received, QList<QStringList>{{"/next.pdf"}});
}

} // namespace
