#include "render/host/RenderHost.h"

#include "crop/PdfSourceData.h"
#include "crop/QpdfDocumentWriter.h"
#include "crop/QpdfLoader.h"
#include "crop/QpdfParser.h"
#include "crop/QpdfRenderCopy.h"
#include "render/JobSave.h"
#include "render/MupdfRasterizer.h"
#include "render/MupdfRepair.h"
#include "render/RenderHostProtocol.h"
#include "render/host/ConfinementProbe.h"
#include "render/host/HostConfinement.h"
#include "render/host/MemoryShortage.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <new>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

namespace RenderHost {

namespace {

constexpr int kInput = 0;
constexpr int kOutput = 1;
constexpr int kDocument = 3;
constexpr int kOutputFile = 4;

void limitMemory(int megabytes) {
    MemoryShortage::watch();
#if !defined(__SANITIZE_ADDRESS__)
    // A sanitizer reserves terabytes of memory for its shadow; it runs uncapped.
    if (megabytes > 0) {
        // What the libraries allocate counts (the heap and every private writable mapping),
        // the document and the saved file do not: they are mapped read-only, and a cap on
        // the address space would refuse a file of the cap's size however little memory
        // reading it takes.
        const rlim_t bytes = rlim_t(megabytes) << 20;
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_DATA, &limit);
    }
    // The heap grows in steps of many huge pages rather than of what each allocation needs,
    // which takes a parse's memory from the system in a few calls, all of it backed by huge
    // pages (see the host's environment), and keeps what a parse frees for the next one. A
    // sixteenth of the limit, so that the step never refuses memory the limit allows.
    mallopt(M_TOP_PAD, megabytes > 0 ? std::min(64, megabytes / 16) << 20 : 64 << 20);
#else
    Q_UNUSED(megabytes)
#endif
}

// What the host says when it must end for want of memory in the middle of task: the answer of a
// task that ran out of memory. Drawing answers page by page, and a page that does not fit
// says so itself.
void answerShortage(Task task) {
    PagesRead unread;
    unread.outcome = PagesRead::Outcome::OutOfMemory;
    SaveOutcome unsaved;
    unsaved.outOfMemory = true;
    switch (task) {
    case Task::Draw:
        return;
    case Task::ReadPages:
    case Task::ReadFirstPage:
    case Task::ReadPagesAndSave:
        return MemoryShortage::answerOnEnding(kOutput, RenderHostProtocol::encodePages(unread));
    case Task::Save:
        return MemoryShortage::answerOnEnding(kOutput,
                                              RenderHostProtocol::encodeSaveOutcome(unsaved));
    case Task::Rewrite:
    case Task::Repair:
        return MemoryShortage::answerOnEnding(kOutput,
                                              RenderHostProtocol::encodeCopyWritten(false));
    }
}

int draw(std::shared_ptr<const PdfSourceData> data, const QByteArray& password) {
    MupdfRasterizer rasterizer(PdfRenderSource{std::move(data), password});
    QString openError;
    if (rasterizer.pageCount() == 0)
        openError = rasterizer.render({}, {}).error;
    if (!RenderHostProtocol::writeFrame(
            kOutput, RenderHostProtocol::encodeOpened(rasterizer.pageCount(), openError)))
        return 1;
    while (const std::optional<QByteArray> message = RenderHostProtocol::readFrame(kInput, -1)) {
        int page = 0;
        ContentBoundsOptions options;
        QByteArray answer;
        if (RenderHostProtocol::decodeBoundsRequest(*message, &page, &options)) {
            answer = RenderHostProtocol::encodeBounds(rasterizer.contentBounds(page, options));
        } else {
            const auto request = RenderHostProtocol::decodeRequest(*message);
            answer = RenderHostProtocol::encodeResult(
                request
                    ? rasterizer.render(*request, {})
                    : PageRenderResult::failure(QStringLiteral("The request was not understood.")));
        }
        if (!RenderHostProtocol::writeFrame(kOutput, answer))
            return 1;
    }
    return 0;
}

// Writes a copy made here into descriptor 4, where the program reads it from, and says
// whether it did.
int answerCopy(std::optional<QByteArrayView> copy) {
    QFile out;
    const bool written =
        copy && out.open(kOutputFile, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) &&
        out.write(copy->data(), copy->size()) == copy->size() && out.flush();
    return RenderHostProtocol::writeFrame(kOutput, RenderHostProtocol::encodeCopyWritten(written))
               ? 0
               : 1;
}

// Tells the program of pages written a batch at a time: a message for each page of a 10,000-page
// file kept the program busy for longer than writing the pages took.
class PagesWrittenReport {
public:
    PagesWrittenReport() { sinceSent_.start(); }

    void pageWritten() {
        ++unsent_;
        if (sinceSent_.hasExpired(kIntervalMs))
            send();
    }
    void send() {
        if (unsent_ > 0)
            RenderHostProtocol::writeFrame(kOutput,
                                           RenderHostProtocol::encodePagesWritten(unsent_));
        unsent_ = 0;
        sinceSent_.restart();
    }

private:
    // Often enough for a progress bar to move smoothly.
    static constexpr qint64 kIntervalMs = 20;
    int unsent_ = 0;
    QElapsedTimer sinceSent_;
};

// Writes job with writer into outputFd, then reads the file back through it.
SaveOutcome saveInto(const PdfSourceData& data, QpdfDocumentWriter& writer, const SaveJob& job,
                     int outputFd) {
    SaveOutcome outcome;
    PagesWrittenReport report;
    try {
        outcome = JobSave::write(data, writer, job, outputFd, [&report] { report.pageWritten(); });
        report.send();
    } catch (const std::bad_alloc&) {
        MemoryShortage::note();
    } catch (const std::exception& e) {
        outcome = JobSave::failure(e);
    }
    outcome.outOfMemory = MemoryShortage::noted();
    return outcome;
}

// Parses data at once, then saves the job the program sends, into the file it hands over; the
// program works out the job meanwhile, or the user chooses where to save. Without data, or
// when data does not parse, answers why it cannot. With readsPages, first answers the pages of
// the parse, and ends unless they were read.
int save(const PdfSourceData* data, const QByteArray& password, QString error, bool readsPages) {
    std::unique_ptr<QpdfDocumentWriter> writer;
    if (readsPages) {
        PagesRead read;
        read.reason = error;
        if (data) {
            read = readPagesBy([&] {
                writer = std::make_unique<QpdfDocumentWriter>(*data, password);
                return writer->geometry();
            });
        }
        if (MemoryShortage::noted())
            read.outcome = PagesRead::Outcome::OutOfMemory;
        if (!RenderHostProtocol::writeFrame(kOutput, RenderHostProtocol::encodePages(read)))
            return 1;
        if (read.outcome != PagesRead::Outcome::Read)
            return 0;
        // From here on the program waits for the save's outcome.
        answerShortage(Task::Save);
    } else if (data) {
        try {
            writer = std::make_unique<QpdfDocumentWriter>(*data, password);
        } catch (const std::bad_alloc&) {
            MemoryShortage::note();
        } catch (const std::exception& e) {
            error = QString::fromLocal8Bit(e.what());
        }
    }
    const int outputFd = RenderHostProtocol::receiveDescriptor(kInput);
    const std::optional<QByteArray> message = RenderHostProtocol::readFrame(kInput, -1);
    SaveJob job{data, password, {}, {}, {}};
    if (outputFd < 0 || !message || !RenderHostProtocol::decodeSaveJob(*message, &job))
        return 1;
    SaveOutcome outcome;
    if (writer) {
        outcome = saveInto(*data, *writer, job, outputFd);
    } else {
        outcome.error = error;
        outcome.outOfMemory = MemoryShortage::noted();
    }
    return RenderHostProtocol::writeFrame(kOutput, RenderHostProtocol::encodeSaveOutcome(outcome))
               ? 0
               : 1;
}

} // namespace

int run(Task task, int memoryLimitMb, const char* probe) {
    limitMemory(memoryLimitMb);
    answerShortage(task);
    // One task, then the host ends.
    QpdfParser::leaveLastParsesToProcessEnd();
    QString error;
    std::shared_ptr<const PdfSourceData> data;
    try {
        // A file that cannot be mapped is read into memory instead, which may not fit.
        data = PdfSourceData::mapFile(QStringLiteral("/proc/self/fd/%1").arg(kDocument), &error);
    } catch (const std::bad_alloc& e) {
        MemoryShortage::note();
        error = QString::fromLocal8Bit(e.what());
    }
    ::close(kDocument);
    // All the host reads is open by now: a file that takes over MuPDF or qpdf from here on
    // finds nothing else within reach.
    const bool confined = HostConfinement::confine(&error);
    if (probe)
        return confined ? ConfinementProbe::attempt(probe) : 1;
    if (!confined)
        data.reset();
    const std::optional<QByteArray> password = RenderHostProtocol::readFrame(kInput, -1);
    if (!password)
        return 1;
    switch (task) {
    case Task::Draw:
        if (!data) {
            RenderHostProtocol::writeFrame(kOutput, RenderHostProtocol::encodeOpened(0, error));
            return 1;
        }
        return draw(std::move(data), *password);
    case Task::ReadPages:
    case Task::ReadFirstPage: {
        PagesRead read;
        read.reason = error;
        if (data) {
            read = task == Task::ReadPages ? readPagesHere(*data, *password)
                                           : readFirstPageHere(*data, *password);
        }
        if (MemoryShortage::noted())
            read.outcome = PagesRead::Outcome::OutOfMemory;
        return RenderHostProtocol::writeFrame(kOutput, RenderHostProtocol::encodePages(read)) ? 0
                                                                                              : 1;
    }
    case Task::Rewrite: {
        const std::optional<PdfRenderSource> copy =
            data ? QpdfRenderCopy::of({data, *password}) : std::nullopt;
        return answerCopy(copy ? std::optional(copy->data->bytes()) : std::nullopt);
    }
    case Task::Save:
    case Task::ReadPagesAndSave:
        return save(data.get(), *password, error, task == Task::ReadPagesAndSave);
    case Task::Repair: {
        const std::optional<QByteArray> repaired =
            data ? MupdfRepair::repairedCopy(data->bytes()) : std::nullopt;
        return answerCopy(repaired ? std::optional<QByteArrayView>(*repaired) : std::nullopt);
    }
    }
    return 1;
}

} // namespace RenderHost
