#include "render/InProcessWorkplace.h"

#include "crop/QpdfRenderCopy.h"
#include "render/InProcessSaveWriter.h"
#include "render/MupdfRasterizer.h"
#include "render/MupdfRepair.h"

QpdfLoader InProcessWorkplace::loader() const {
    return QpdfLoader({}, std::make_shared<InProcessSaveWriter>());
}

PagesRead InProcessWorkplace::readFirstPage(const PdfSourceData& data,
                                            const QByteArray& password) const {
    return readFirstPageHere(data, password);
}

std::shared_ptr<const PdfSourceData> InProcessWorkplace::repair(const PdfSourceData& data) const {
    auto repaired = MupdfRepair::repairedCopy(data.bytes());
    return repaired ? PdfSourceData::fromBytes(std::move(*repaired)) : nullptr;
}

std::optional<PdfRenderSource> InProcessWorkplace::renderCopy(const PdfRenderSource& source) const {
    return QpdfRenderCopy::of(source);
}

std::unique_ptr<PageRasterizer>
InProcessWorkplace::rasterizer(const PdfRenderSource& source) const {
    return std::make_unique<MupdfRasterizer>(source);
}
