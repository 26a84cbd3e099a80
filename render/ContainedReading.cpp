#include "render/ContainedReading.h"

#include "crop/PdfSourceData.h"
#include "render/RenderHostProcess.h"
#include "render/RenderHostProtocol.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>

#include <sys/mman.h>
#include <unistd.h>

namespace ContainedReading {

namespace {

// The host's one answer to a task on data, or nothing (timedOut set when it took too long).
// The host, given outputFd as its descriptor 4 if any, has ended by the time this returns.
std::optional<QByteArray> ask(const PdfSourceData& data, const QString& hostPath, int memoryMb,
                              const QString& task, const QByteArray& password, bool* timedOut,
                              int outputFd = -1) {
    RenderHostProcess host(&data);
    if (!host.start(hostPath, hostArguments(task, memoryMb), outputFd) || !host.send(password))
        return std::nullopt;
    return host.receive(timeoutMs(data), timedOut);
}

PagesRead readPagesWith(const PdfSourceData& data, const QByteArray& password,
                        const QString& hostPath, int memoryMb, const QString& task) {
    bool timedOut = false;
    return pagesAnswered(ask(data, hostPath, memoryMb, task, password, &timedOut), timedOut);
}

// The copy the host makes for task, which it writes into an unnamed file of ours.
std::shared_ptr<const PdfSourceData> copyFrom(const PdfSourceData& data, const QString& hostPath,
                                              int memoryMb, const QString& task,
                                              const QByteArray& password) {
    const int file = memfd_create("cropmark-copy", MFD_CLOEXEC);
    if (file < 0)
        return nullptr;
    // The host has ended before the file is read, so that nothing changes the copy under its
    // reader.
    const auto answer = ask(data, hostPath, memoryMb, task, password, nullptr, file);
    const bool written = answer && RenderHostProtocol::decodeCopyWritten(*answer).value_or(false);
    auto copy = written ? PdfSourceData::mapDescriptor(file, nullptr) : nullptr;
    ::close(file);
    return copy;
}

} // namespace

QStringList hostArguments(const QString& task, int memoryMb) {
    return {task, QStringLiteral("--memory-mb"), QString::number(memoryMb)};
}

int timeoutMs(const PdfSourceData& data) {
    // Reading the pages of the largest files takes seconds; a minute means it will not end. A
    // save copies the whole file and a repair reads it all, which on the slowest disks people
    // keep documents on (10 MB/s) takes this long per byte on top.
    constexpr qint64 kTimeoutMs = 60000;
    constexpr qint64 kBytesPerMs = 10 * 1000;
    return int(std::min<qint64>(kTimeoutMs + data.size() / kBytesPerMs, INT_MAX));
}

PagesRead pagesAnswered(const std::optional<QByteArray>& answer, bool timedOut) {
    if (const auto read = answer ? RenderHostProtocol::decodePages(*answer) : std::nullopt)
        return *read;
    PagesRead failed;
    failed.reason = QCoreApplication::translate(
        "ContainedReading", timedOut ? "Reading the file took too long, so it was stopped."
                                     : "Reading the file stopped the reader.");
    return failed;
}

PagesRead readPages(const PdfSourceData& data, const QByteArray& password, const QString& hostPath,
                    int memoryMb) {
    return readPagesWith(data, password, hostPath, memoryMb, QStringLiteral("--read-pages"));
}

PagesRead readFirstPage(const PdfSourceData& data, const QByteArray& password,
                        const QString& hostPath, int memoryMb) {
    return readPagesWith(data, password, hostPath, memoryMb, QStringLiteral("--read-first-page"));
}

std::shared_ptr<const PdfSourceData> renderCopy(const PdfSourceData& data,
                                                const QByteArray& password, const QString& hostPath,
                                                int memoryMb) {
    return copyFrom(data, hostPath, memoryMb, QStringLiteral("--rewrite"), password);
}

std::shared_ptr<const PdfSourceData> repair(const PdfSourceData& data, const QString& hostPath,
                                            int memoryMb) {
    return copyFrom(data, hostPath, memoryMb, QStringLiteral("--repair"), QByteArray());
}

} // namespace ContainedReading
