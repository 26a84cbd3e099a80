#include "render/RenderHostWorkplace.h"

#include "crop/QpdfRenderCopy.h"
#include "render/ContainedReading.h"
#include "render/HostSaveWriter.h"
#include "render/ProcessRasterizer.h"

QpdfLoader RenderHostWorkplace::loader() const {
    // The documents keep these, so they hold the host's path and limit and not this workplace.
    const QString host = host_;
    const int memoryMb = limits_.memoryMb;
    return QpdfLoader(
        [host, memoryMb](const PdfSourceData& data, const QByteArray& password) {
            return ContainedReading::readPages(data, password, host, memoryMb);
        },
        std::make_shared<HostSaveWriter>(host, memoryMb));
}

PagesRead RenderHostWorkplace::readFirstPage(const PdfSourceData& data,
                                             const QByteArray& password) const {
    return ContainedReading::readFirstPage(data, password, host_, limits_.memoryMb);
}

std::shared_ptr<const PdfSourceData> RenderHostWorkplace::repair(const PdfSourceData& data) const {
    return ContainedReading::repair(data, host_, limits_.memoryMb);
}

std::optional<PdfRenderSource>
RenderHostWorkplace::renderCopy(const PdfRenderSource& source) const {
    // A source without bytes of its own has nothing to hand a host.
    if (!source.data)
        return QpdfRenderCopy::of(source);
    if (auto copy =
            ContainedReading::renderCopy(*source.data, source.password, host_, limits_.memoryMb))
        return PdfRenderSource{std::move(copy), QByteArray()};
    return std::nullopt;
}

std::unique_ptr<PageRasterizer>
RenderHostWorkplace::rasterizer(const PdfRenderSource& source) const {
    return std::make_unique<ProcessRasterizer>(source, host_, limits_);
}
