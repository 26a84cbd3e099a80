#include "render/ContainedReading.h"

#include "render/RenderHostProcess.h"
#include "render/RenderHostProtocol.h"

#include <QCoreApplication>

namespace ContainedReading {

namespace {

// Reading the pages of the largest files takes seconds; a minute means it will not end.
constexpr int kTimeoutMs = 60000;
constexpr int kMemoryMb = 4096;

// The host's one answer to a task on data, or nothing (timedOut set when it took too long).
std::optional<QByteArray> ask(const PdfSourceData& data, const QString& hostPath,
                              const QString& task, const QByteArray& password, bool* timedOut) {
    RenderHostProcess host(&data);
    if (!host.start(hostPath, {task, QStringLiteral("--memory-mb"), QString::number(kMemoryMb)}) ||
        !host.send(password))
        return std::nullopt;
    return host.receive(kTimeoutMs, timedOut);
}

PagesRead readPagesWith(const PdfSourceData& data, const QByteArray& password,
                        const QString& hostPath, const QString& task) {
    bool timedOut = false;
    const auto answer = ask(data, hostPath, task, password, &timedOut);
    if (const auto read = answer ? RenderHostProtocol::decodePages(*answer) : std::nullopt)
        return *read;
    PagesRead failed;
    failed.reason = QCoreApplication::translate(
        "ContainedReading", timedOut ? "Reading the file took too long, so it was stopped."
                                     : "Reading the file stopped the reader.");
    return failed;
}

std::optional<QByteArray> bytesFrom(const PdfSourceData& data, const QString& hostPath,
                                    const QString& task, const QByteArray& password) {
    const auto answer = ask(data, hostPath, task, password, nullptr);
    if (const auto bytes = answer ? RenderHostProtocol::decodeBytes(*answer) : std::nullopt)
        return *bytes;
    return std::nullopt;
}

} // namespace

PagesRead readPages(const PdfSourceData& data, const QByteArray& password,
                    const QString& hostPath) {
    return readPagesWith(data, password, hostPath, QStringLiteral("--read-pages"));
}

PagesRead readFirstPage(const PdfSourceData& data, const QByteArray& password,
                        const QString& hostPath) {
    return readPagesWith(data, password, hostPath, QStringLiteral("--read-first-page"));
}

std::optional<QByteArray> renderCopy(const PdfSourceData& data, const QByteArray& password,
                                     const QString& hostPath) {
    return bytesFrom(data, hostPath, QStringLiteral("--rewrite"), password);
}

SaveOutcome save(const SaveJob& job, int outputFd, const std::function<void()>& pageWritten,
                 const QString& hostPath) {
    SaveOutcome outcome;
    outcome.error = QCoreApplication::translate("ContainedReading",
                                                "The writer stopped while saving the document.");
    RenderHostProcess host(job.data);
    if (!host.start(
            hostPath,
            {QStringLiteral("--save"), QStringLiteral("--memory-mb"), QString::number(kMemoryMb)},
            outputFd) ||
        !host.send(job.password) ||
        !host.send(RenderHostProtocol::encodeSaveJob(job.pages, job.setBoxes)))
        return outcome;
    bool timedOut = false;
    while (const auto message = host.receive(kTimeoutMs, &timedOut)) {
        bool page = false;
        SaveOutcome last;
        if (!RenderHostProtocol::decodeSaveEvent(*message, &page, &last))
            break;
        if (!page)
            return last;
        pageWritten();
    }
    if (timedOut) {
        outcome.error = QCoreApplication::translate(
            "ContainedReading", "Saving the document took too long, so it was stopped.");
    }
    return outcome;
}

std::optional<QByteArray> repair(const PdfSourceData& data, const QString& hostPath) {
    return bytesFrom(data, hostPath, QStringLiteral("--repair"), QByteArray());
}

} // namespace ContainedReading
