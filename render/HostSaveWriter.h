#pragma once

#include "crop/SaveWriter.h"

#include <QString>

#include <memory>
#include <mutex>

class SaveHost;

// Saves in render hosts (SaveHost), one host per save. A prepared host waits for its save;
// a save of another document, or with another password, starts a host of its own and ends
// the prepared one, which would wait in vain.
class HostSaveWriter final : public SaveWriter {
public:
    // Hosts run hostPath and may allocate memoryMb megabytes each.
    HostSaveWriter(QString hostPath, int memoryMb);
    ~HostSaveWriter() override;

    void prepare(std::shared_ptr<const PdfSourceData> data, const QByteArray& password) override;
    PagesRead readPagesAndPrepare(std::shared_ptr<const PdfSourceData> data,
                                  const QByteArray& password) override;
    SaveOutcome save(const SaveJob& job, int outputFd,
                     const std::function<void()>& pageWritten) override;

private:
    // Keeps host, which saves data, for the next save.
    void keep(std::unique_ptr<SaveHost> host, std::shared_ptr<const PdfSourceData> data);

    const QString hostPath_;
    const int memoryMb_;
    std::mutex mutex_;
    // The data the prepared host saves, kept alive for it.
    std::shared_ptr<const PdfSourceData> preparedData_;
    std::unique_ptr<SaveHost> prepared_;
};
