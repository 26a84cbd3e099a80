#include "render/DocumentRasterizers.h"

#include "crop/QpdfRenderCopy.h"
#include "render/ContainedReading.h"
#include "render/ProcessRasterizer.h"
#include "render/RenderHostLocation.h"
#include "render/SharedRenderCopy.h"

namespace DocumentRasterizers {

Maker maker(const PdfRenderSource& source, int pages) {
    const QString host = RenderHostLocation::path();
    auto copy =
        std::make_shared<SharedRenderCopy>([source, host]() -> std::optional<PdfRenderSource> {
            if (host.isEmpty() || !source.data)
                return QpdfRenderCopy::of(source);
            if (auto bytes = ContainedReading::renderCopy(*source.data, source.password, host))
                return PdfRenderSource{PdfSourceData::fromBytes(std::move(*bytes)), QByteArray()};
            return std::nullopt;
        });
    RecoveringRasterizer::Factory make = &RecoveringRasterizer::inProcess;
    if (!host.isEmpty()) {
        make = [host](const PdfRenderSource& drawn) {
            return std::make_unique<ProcessRasterizer>(drawn, host);
        };
    }
    return [source, pages, copy, make] {
        return std::make_unique<RecoveringRasterizer>(source, pages, copy, make);
    };
}

} // namespace DocumentRasterizers
