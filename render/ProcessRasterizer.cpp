#include "render/ProcessRasterizer.h"

#include "render/RenderHostProtocol.h"

#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ProcessRasterizer", text);
}

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
        if (written <= 0 && errno != EINTR) {
            ::close(fd);
            return -1;
        }
        if (written > 0) {
            bytes += written;
            left -= written;
        }
    }
    return fd;
}

} // namespace

ProcessRasterizer::ProcessRasterizer(PdfRenderSource source, QString hostPath, Limits limits)
    : source_(std::move(source)), hostPath_(std::move(hostPath)), limits_(limits) {
    // A host that dies leaves a broken pipe: writing to it must fail, not end this process.
    std::signal(SIGPIPE, SIG_IGN);
    if (source_.data)
        documentFd_ = documentDescriptor(*source_.data);
    start();
}

ProcessRasterizer::~ProcessRasterizer() {
    stop();
    if (documentFd_ >= 0)
        ::close(documentFd_);
}

bool ProcessRasterizer::start() {
    if (documentFd_ < 0) {
        openError_ = tr("There is no document to draw.");
        return false;
    }
    int input[2], output[2];
    if (pipe2(input, O_CLOEXEC) != 0)
        return false;
    if (pipe2(output, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&actions, documentFd_, 3);
    const QByteArray program = hostPath_.toLocal8Bit();
    const QByteArray memory = QByteArray::number(limits_.memoryMb);
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>("--memory-mb"),
                    const_cast<char*>(memory.constData()), nullptr};
    const int spawned = posix_spawn(&pid_, program.constData(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    toHost_ = input[1];
    fromHost_ = output[0];
    if (spawned != 0) {
        pid_ = 0;
        stop();
        openError_ = tr("The page renderer could not be started.");
        return false;
    }
    int pages = 0;
    QString error;
    const auto opened = RenderHostProtocol::writeFrame(toHost_, source_.password)
                            ? RenderHostProtocol::readFrame(fromHost_, limits_.renderTimeoutMs)
                            : std::nullopt;
    if (!opened || !RenderHostProtocol::decodeOpened(*opened, &pages, &error) || pages <= 0) {
        stop();
        openError_ = opened && !error.isEmpty()
                         ? error
                         : tr("The page renderer stopped while reading the document.");
        pageCount_ = 0;
        return false;
    }
    pageCount_ = pages;
    return true;
}

void ProcessRasterizer::stop() {
    if (toHost_ >= 0)
        ::close(toHost_);
    if (fromHost_ >= 0)
        ::close(fromHost_);
    toHost_ = fromHost_ = -1;
    if (pid_ > 0) {
        // Its input is closed: a healthy host ends by itself; one that is stuck is stopped.
        ::kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    pid_ = 0;
}

PageRenderResult ProcessRasterizer::render(const PageRenderRequest& request, std::stop_token stop) {
    if (stop.stop_requested())
        return PageRenderResult::cancellation();
    // A host lost on an earlier page is started again for this one.
    if (pid_ == 0 && (pageCount_ == 0 || !start()))
        return PageRenderResult::failure(openError_);
    bool timedOut = false;
    const auto answer =
        RenderHostProtocol::writeFrame(toHost_, RenderHostProtocol::encodeRequest(request))
            ? RenderHostProtocol::readFrame(fromHost_, limits_.renderTimeoutMs, &timedOut)
            : std::nullopt;
    const auto result = answer ? RenderHostProtocol::decodeResult(*answer) : std::nullopt;
    if (result)
        return *result;
    this->stop();
    return PageRenderResult::failure(
        timedOut
            ? tr("Drawing page %1 took too long, so it was stopped.").arg(request.pageIndex + 1)
            : tr("The page renderer stopped while drawing page %1: the page may be "
                 "damaged.")
                  .arg(request.pageIndex + 1));
}
