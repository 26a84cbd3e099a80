#include "render/JobSave.h"

#include "crop/PdfSourceData.h"
#include "crop/QpdfDocumentWriter.h"
#include "crop/QpdfReadBack.h"
#include "render/OutsideContentRemoval.h"

#include <QFile>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace JobSave {

namespace {

[[noreturn]] void failWriting(const QFile& out) {
    throw std::system_error(std::error_code(errno, std::generic_category()),
                            out.errorString().toStdString());
}

// Replaces what out holds with removed's file, and says what each page lost.
void writeRemoval(QFile& out, const OutsideContentRemoval::Outcome& removed, SaveOutcome& outcome) {
    if (!removed.file)
        throw std::runtime_error(removed.error.toStdString());
    if (!out.resize(0) || !out.seek(0) || out.write(*removed.file) != removed.file->size() ||
        !out.flush())
        failWriting(out);
    outcome.removed = removed.removed;
}

// The pages the job crops or splits, or an earlier save cropped.
std::vector<bool> cropped(const SaveJob& job) {
    std::vector<bool> pages(job.pages.size());
    for (size_t i = 0; i < pages.size(); ++i) {
        const PageGeometry& page = job.pages[i];
        pages[i] = job.setBoxes[i] != 0 || page.keptOriginal || page.part || !page.region.isEmpty();
    }
    return pages;
}

} // namespace

SaveOutcome write(const PdfSourceData& data, QpdfDocumentWriter& writer, const SaveJob& job,
                  int outputFd, const std::function<void()>& pageWritten) {
    SaveOutcome outcome;
    QFile out;
    if (!out.open(outputFd, QIODevice::ReadWrite, QFileDevice::DontCloseHandle))
        throw std::runtime_error(out.errorString().toStdString());
    SaveChoices choices = job.choices;
    // Nothing is left outside the crop to restore.
    if (choices.removesOutside)
        choices.keepsOriginalBoxes = false;
    // With removal, the pages count as written once they are cleared.
    const WrittenObjects written =
        writer.write(out, job.pages, job.setBoxes, choices,
                     choices.removesOutside ? std::function<void()>([] {}) : pageWritten);
    if (!out.flush())
        failWriting(out);
    if (choices.removesOutside) {
        OutsideContentRemoval::Outcome removed;
        {
            // Unmapped before the file is cut short and written again.
            const auto file = PdfSourceData::mapDescriptor(outputFd, nullptr);
            if (!file)
                failWriting(out);
            removed = OutsideContentRemoval::remove(file->bytes(), job.password, cropped(job),
                                                    pageWritten);
        }
        writeRemoval(out, removed, outcome);
    }
    outcome.written = true;
    const auto file = PdfSourceData::mapDescriptor(outputFd, nullptr);
    outcome.readsBack =
        file &&
        (choices.removesOutside ? QpdfReadBack::removalReadsBack(*file, job.password, job.pages)
                                : QpdfReadBack::fileReadsBack(*file, data, job.password, job.pages,
                                                              job.setBoxes, written));
    return outcome;
}

SaveOutcome failure(const std::exception& error) {
    SaveOutcome outcome;
    outcome.error = QString::fromLocal8Bit(error.what());
    if (const auto* failed = dynamic_cast<const std::system_error*>(&error))
        outcome.systemError = failed->code().value();
    return outcome;
}

} // namespace JobSave
