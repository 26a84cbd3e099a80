#include "render/RenderHostWorkplace.h"

#include "crop/QpdfRenderCopy.h"
#include "render/ContainedReading.h"
#include "render/ProcessRasterizer.h"

QpdfLoader RenderHostWorkplace::loader() const {
    // The documents keep these, so they hold the host's path and not this workplace.
    const QString host = host_;
    return QpdfLoader(
        [host](const PdfSourceData& data, const QByteArray& password) {
            return ContainedReading::readPages(data, password, host);
        },
        [host](const SaveJob& job, int outputFd, const std::function<void()>& pageWritten) {
            return ContainedReading::save(job, outputFd, pageWritten, host);
        });
}

PagesRead RenderHostWorkplace::readFirstPage(const PdfSourceData& data,
                                             const QByteArray& password) const {
    return ContainedReading::readFirstPage(data, password, host_);
}

std::optional<QByteArray> RenderHostWorkplace::repair(const PdfSourceData& data) const {
    return ContainedReading::repair(data, host_);
}

std::optional<PdfRenderSource>
RenderHostWorkplace::renderCopy(const PdfRenderSource& source) const {
    // A source without bytes of its own has nothing to hand a host.
    if (!source.data)
        return QpdfRenderCopy::of(source);
    if (auto bytes = ContainedReading::renderCopy(*source.data, source.password, host_))
        return PdfRenderSource{PdfSourceData::fromBytes(std::move(*bytes)), QByteArray()};
    return std::nullopt;
}

std::unique_ptr<PageRasterizer>
RenderHostWorkplace::rasterizer(const PdfRenderSource& source) const {
    return std::make_unique<ProcessRasterizer>(source, host_, limits_);
}
