#include "render/HostSaveWriter.h"

#include "render/SaveHost.h"

HostSaveWriter::HostSaveWriter(QString hostPath, int memoryMb)
    : hostPath_(std::move(hostPath)), memoryMb_(memoryMb) {}

HostSaveWriter::~HostSaveWriter() = default;

void HostSaveWriter::prepare(std::shared_ptr<const PdfSourceData> data,
                             const QByteArray& password) {
    {
        const std::lock_guard lock(mutex_);
        if (prepared_ && prepared_->saves(*data, password))
            return;
    }
    auto host = std::make_unique<SaveHost>(*data, password, hostPath_, memoryMb_);
    keep(std::move(host), std::move(data));
}

PagesRead HostSaveWriter::readPagesAndPrepare(std::shared_ptr<const PdfSourceData> data,
                                              const QByteArray& password) {
    auto host = std::make_unique<SaveHost>(*data, password, hostPath_, memoryMb_, true);
    PagesRead read = host->readPages();
    // A file that did not read, or not without a password, is saved, if ever, by a host of its
    // own.
    if (read.outcome == PagesRead::Outcome::Read)
        keep(std::move(host), std::move(data));
    return read;
}

void HostSaveWriter::keep(std::unique_ptr<SaveHost> host,
                          std::shared_ptr<const PdfSourceData> data) {
    const std::lock_guard lock(mutex_);
    // A host replaced ends (is killed and waited for) before the data it reads is let go.
    prepared_ = std::move(host);
    preparedData_ = std::move(data);
}

SaveOutcome HostSaveWriter::save(const SaveJob& job, int outputFd,
                                 const std::function<void()>& pageWritten) {
    std::unique_ptr<SaveHost> host;
    std::shared_ptr<const PdfSourceData> data;
    {
        const std::lock_guard lock(mutex_);
        if (prepared_ && prepared_->saves(*job.data, job.password)) {
            host = std::move(prepared_);
            data = std::move(preparedData_);
        }
        prepared_.reset();
        preparedData_.reset();
    }
    if (!host)
        host = std::make_unique<SaveHost>(*job.data, job.password, hostPath_, memoryMb_);
    return host->save(job, outputFd, pageWritten);
}
