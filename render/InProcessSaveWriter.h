#pragma once

#include "crop/SaveWriter.h"

// Writes saves in this process, as a render host would (JobSave), for a program without one.
class InProcessSaveWriter final : public SaveWriter {
public:
    // Nothing to prepare: the save parses the file when it comes.
    void prepare(std::shared_ptr<const PdfSourceData>, const QByteArray&) override {}
    PagesRead readPagesAndPrepare(std::shared_ptr<const PdfSourceData> data,
                                  const QByteArray& password) override;
    SaveOutcome save(const SaveJob& job, int outputFd,
                     const std::function<void()>& pageWritten) override;
};
