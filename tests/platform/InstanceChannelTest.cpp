#include "platform/InstanceChannel.h"

#include <gtest/gtest.h>

#include <QDataStream>
#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <optional>

namespace {

using Role = InstanceChannel::Role;

const QString kKey = QStringLiteral("test-instance");
constexpr int kGenerousMs = 30000;

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

class InstanceChannelTest : public testing::Test {
protected:
    void SetUp() override { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path())); }

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

    QString socketPath() const { return QDir(runtimeDir.path()).filePath(kKey); }

    QTemporaryDir runtimeDir;
    std::optional<InstanceChannel> running;
    QList<QStringList> received;
};

TEST_F(InstanceChannelTest, EachStartsPathsArriveOnceUnchangedInOrderAndAbsolute) {
    startRunning();
    const QStringList oddNames{"/d/a b.pdf", "/d/Ünï 文件 📄.pdf", "/d/100%25 %41+.pdf",
                               "/d/line\nbreak.pdf", "/d/a b.pdf"};
    EXPECT_EQ(startAnother(oddNames), Role::HandedOver);
    EXPECT_EQ(startAnother({}), Role::HandedOver); // "show yourself"
    EXPECT_EQ(startAnother({"sub dir/x.pdf"}), Role::HandedOver);
    EXPECT_EQ(received,
              (QList<QStringList>{oddNames, {}, {QDir::currentPath() + "/sub dir/x.pdf"}}));
}

TEST_F(InstanceChannelTest, AStartTakesOverTheSocketOfAnInstanceThatCrashed) {
    // What a crash leaves: a socket file nobody listens on (closing a server removes its file,
    // which was moved away first).
    QLocalServer crashed;
    ASSERT_TRUE(crashed.listen(socketPath() + ".moved"));
    ASSERT_TRUE(QFile::rename(socketPath() + ".moved", socketPath()));
    crashed.close();

    startRunning();
    EXPECT_EQ(startAnother({"/a.pdf"}), Role::HandedOver);
    EXPECT_EQ(received, QList<QStringList>{{"/a.pdf"}});
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

} // namespace
