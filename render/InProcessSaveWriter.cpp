#include "render/InProcessSaveWriter.h"

#include "crop/QpdfDocumentWriter.h"
#include "render/JobSave.h"

PagesRead InProcessSaveWriter::readPagesAndPrepare(std::shared_ptr<const PdfSourceData> data,
                                                   const QByteArray& password) {
    return readPagesHere(*data, password);
}

SaveOutcome InProcessSaveWriter::save(const SaveJob& job, int outputFd,
                                      const std::function<void()>& pageWritten) {
    try {
        QpdfDocumentWriter writer(*job.data, job.password);
        return JobSave::write(*job.data, writer, job, outputFd, pageWritten);
    } catch (const std::exception& e) {
        return JobSave::failure(e);
    }
}
