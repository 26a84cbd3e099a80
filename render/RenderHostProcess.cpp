#include "render/RenderHostProcess.h"

#include "crop/PdfSourceData.h"
#include "render/RenderHostProtocol.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

// A descriptor of its own for bytes: the open file they were mapped from, or a copy of them
// in memory. -1 when neither can be made.
int documentDescriptor(const PdfSourceData& data) {
    if (data.fileHandle() >= 0)
        return fcntl(data.fileHandle(), F_DUPFD_CLOEXEC, 0);
    const int fd = memfd_create("cropmark-document", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    const char* bytes = data.data();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, bytes, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            ::close(fd);
            return -1;
        }
        bytes += written;
        left -= written;
    }
    return fd;
}

// This process's environment, with glibc's heap in huge pages for the host: a host parses a
// document into hundreds of thousands of small objects, and on a virtual machine faulting in
// their memory 4 KB at a time cost a save of 10,000 pages a third of its time. The pages are
// the kernel's to give (transparent huge pages, "madvise" or "always"); where it does not,
// nothing changes.
std::vector<QByteArray> hostEnvironment() {
    constexpr char kTunables[] = "GLIBC_TUNABLES=";
    constexpr char kHugePages[] = "glibc.malloc.hugetlb=1";
    std::vector<QByteArray> variables;
    bool tuned = false;
    for (char** variable = environ; *variable; ++variable) {
        QByteArray text(*variable);
        if (text.startsWith(kTunables)) {
            tuned = true;
            if (!text.contains("glibc.malloc.hugetlb="))
                text += (text.size() > qsizetype(sizeof kTunables) - 1 ? ":" : "") +
                        QByteArray(kHugePages);
        }
        variables.push_back(std::move(text));
    }
    if (!tuned)
        variables.push_back(QByteArray(kTunables) + kHugePages);
    return variables;
}

// What posix_spawn takes: a pointer to each of words, then a null one. words must outlive it.
std::vector<char*> nullTerminated(std::vector<QByteArray>& words) {
    std::vector<char*> pointers;
    for (QByteArray& word : words)
        pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

RenderHostProcess::RenderHostProcess(const PdfSourceData* data)
    : documentFd_(data ? documentDescriptor(*data) : -1) {
    // A host that dies leaves a broken pipe: writing to it must fail, not end this process.
    std::signal(SIGPIPE, SIG_IGN);
}

RenderHostProcess::~RenderHostProcess() {
    stop();
    if (documentFd_ >= 0)
        ::close(documentFd_);
}

bool RenderHostProcess::start(const QString& hostPath, const QStringList& arguments, int outputFd) {
    stop();
    if (documentFd_ < 0)
        return false;
    // The host's descriptors are set in order, each from one of ours: an output file that is
    // our descriptor 3, as a file opened while 3 was free is, would be the document by the time
    // it is copied to 4. Such a one goes to the host from a copy above them.
    const int file = outputFd >= 0 && outputFd < 4 ? fcntl(outputFd, F_DUPFD_CLOEXEC, 5) : outputFd;
    const auto closeCopy = [&] {
        if (file != outputFd && file >= 0)
            ::close(file);
    };
    if (file < 0 && outputFd >= 0)
        return false;
    // Requests go through a socket, which can also hand the host a descriptor
    // (sendDescriptor); answers through a pipe.
    int input[2], output[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0) {
        closeCopy();
        return false;
    }
    if (pipe2(output, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        closeCopy();
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&actions, documentFd_, 3);
    if (file >= 0)
        posix_spawn_file_actions_adddup2(&actions, file, 4);
    std::vector<QByteArray> words{hostPath.toLocal8Bit()};
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<QByteArray> variables = hostEnvironment();
    const std::vector<char*> argv = nullTerminated(words);
    const std::vector<char*> envp = nullTerminated(variables);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    closeCopy();
    ::close(input[0]);
    ::close(output[1]);
    toHost_ = input[1];
    fromHost_ = output[0];
    if (spawned != 0) {
        pid_ = 0;
        stop();
        return false;
    }
    return true;
}

bool RenderHostProcess::send(const QByteArray& message) {
    return toHost_ >= 0 && RenderHostProtocol::writeFrame(toHost_, message);
}

bool RenderHostProcess::sendDescriptor(int fd) {
    return toHost_ >= 0 && RenderHostProtocol::sendDescriptor(toHost_, fd);
}

bool RenderHostProcess::waitForAnswer(int timeoutMs) const {
    if (fromHost_ < 0)
        return true;
    pollfd ready{fromHost_, POLLIN, 0};
    return ::poll(&ready, 1, timeoutMs) != 0;
}

std::optional<QByteArray> RenderHostProcess::receive(int timeoutMs, bool* timedOut) {
    if (fromHost_ < 0)
        return std::nullopt;
    return RenderHostProtocol::readFrame(fromHost_, timeoutMs, timedOut);
}

void RenderHostProcess::stop() {
    if (toHost_ >= 0)
        ::close(toHost_);
    if (fromHost_ >= 0)
        ::close(fromHost_);
    toHost_ = fromHost_ = -1;
    if (pid_ > 0) {
        // Done with, or stuck: either way it goes now.
        ::kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    pid_ = 0;
}
