#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

class PdfSourceData;

// One render host process working on one document: started with the document's bytes on its
// descriptor 3 and a mode, then spoken to in messages (RenderHostProtocol). Stopping it, or
// losing it, closes the channels; a host that does not end is killed.
//
// The host reads the document's bytes itself: the open file (by its descriptor, so a file
// renamed meanwhile is still the one opened), or a copy of bytes held in memory.
//
// Thread: one thread at a time.
class RenderHostProcess {
public:
    // Keeps a descriptor of its own for data's bytes (none for null); starts nothing yet.
    explicit RenderHostProcess(const PdfSourceData* data);
    ~RenderHostProcess();

    RenderHostProcess(const RenderHostProcess&) = delete;
    RenderHostProcess& operator=(const RenderHostProcess&) = delete;

    // Starts hostPath with arguments, and with outputFd (if any) as its descriptor 4; false
    // when it cannot be started.
    bool start(const QString& hostPath, const QStringList& arguments, int outputFd = -1);
    bool isRunning() const { return pid_ > 0; }
    pid_t processId() const { return pid_; }

    bool send(const QByteArray& message);
    // Hands the host a descriptor of fd, which it takes with
    // RenderHostProtocol::receiveDescriptor() between two messages.
    bool sendDescriptor(int fd);
    // Whether the host has something to say, or has gone, within timeoutMs.
    bool waitForAnswer(int timeoutMs) const;
    // The next message, within timeoutMs; nothing when the host is gone, said something
    // malformed or did not answer in time (timedOut is then set).
    std::optional<QByteArray> receive(int timeoutMs, bool* timedOut = nullptr);
    void stop();

private:
    int documentFd_ = -1;
    pid_t pid_ = 0;
    int toHost_ = -1;
    int fromHost_ = -1;
};
