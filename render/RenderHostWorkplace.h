#pragma once

#include "render/ProcessRasterizer.h"
#include "render/RenderWorkplace.h"

#include <QString>

// Every job in a render host process of its own (see RenderHost and ContainedReading), so a
// file that crashes a library, loops in it or takes all memory fails that job and nothing
// else. Drawing keeps one host per rasterizer; the other jobs start a host each.
class RenderHostWorkplace final : public RenderWorkplace {
public:
    // hostPath: the render host executable; every host keeps to limits' memory, drawing to
    // its time limit too.
    explicit RenderHostWorkplace(QString hostPath, ProcessRasterizer::Limits limits = {})
        : host_(std::move(hostPath)), limits_(limits) {}

    QpdfLoader loader() const override;
    PagesRead readFirstPage(const PdfSourceData& data, const QByteArray& password) const override;
    std::shared_ptr<const PdfSourceData> repair(const PdfSourceData& data) const override;
    std::optional<PdfRenderSource> renderCopy(const PdfRenderSource& source) const override;
    std::unique_ptr<PageRasterizer> rasterizer(const PdfRenderSource& source) const override;

private:
    const QString host_;
    const ProcessRasterizer::Limits limits_;
};
