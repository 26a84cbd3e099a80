#pragma once

#include "render/RenderWorkplace.h"

// Everything in this process: qpdf reads and writes, MuPDF repairs and draws. For a build
// without the render host, and for tests of what the host itself runs.
class InProcessWorkplace final : public RenderWorkplace {
public:
    QpdfLoader loader() const override;
    PagesRead readFirstPage(const PdfSourceData& data, const QByteArray& password) const override;
    std::shared_ptr<const PdfSourceData> repair(const PdfSourceData& data) const override;
    std::optional<PdfRenderSource> renderCopy(const PdfRenderSource& source) const override;
    std::unique_ptr<PageRasterizer> rasterizer(const PdfRenderSource& source) const override;
};
