#include "render/SaveHost.h"

#include "crop/PdfSourceData.h"
#include "render/ContainedReading.h"
#include "render/RenderHostProtocol.h"

#include <QCoreApplication>

SaveHost::SaveHost(const PdfSourceData& data, const QByteArray& password, const QString& hostPath,
                   int memoryMb, bool readsPages)
    : data_(data), password_(password), process_(&data) {
    const QString task =
        readsPages ? QStringLiteral("--read-pages-and-save") : QStringLiteral("--save");
    started_ = process_.start(hostPath, ContainedReading::hostArguments(task, memoryMb)) &&
               process_.send(password);
}

PagesRead SaveHost::readPages() {
    bool timedOut = false;
    const std::optional<QByteArray> answer =
        started_ ? process_.receive(ContainedReading::timeoutMs(data_), &timedOut) : std::nullopt;
    PagesRead read = ContainedReading::pagesAnswered(answer, timedOut);
    if (read.outcome != PagesRead::Outcome::Read) {
        process_.stop();
        started_ = false;
    }
    return read;
}

SaveOutcome SaveHost::save(const SaveJob& job, int outputFd,
                           const std::function<void()>& pageWritten) {
    SaveOutcome outcome;
    outcome.error =
        QCoreApplication::translate("SaveHost", "The writer stopped while saving the document.");
    // A host that ended early, out of memory say, has said why before it went: its answer is
    // read even when it can no longer be sent the job.
    const bool sent = started_ && process_.sendDescriptor(outputFd) &&
                      process_.send(RenderHostProtocol::encodeSaveJob(job));
    if (!started_)
        return outcome;
    bool timedOut = false;
    // Pages not reported written yet: a host that counts more than the document has is not
    // believed, or a damaged one could keep the program counting.
    auto unreported = qint64(job.pages.size());
    while (const auto message = process_.receive(ContainedReading::timeoutMs(data_), &timedOut)) {
        int pages = 0;
        SaveOutcome last;
        if (!RenderHostProtocol::decodeSaveEvent(*message, &pages, &last) || pages > unreported)
            break;
        if (pages == 0)
            return sent || !last.written ? last : outcome;
        unreported -= pages;
        for (; pages > 0; --pages)
            pageWritten();
    }
    process_.stop();
    if (timedOut) {
        outcome.error = QCoreApplication::translate(
            "SaveHost", "Saving the document took too long, so it was stopped.");
    }
    return outcome;
}
