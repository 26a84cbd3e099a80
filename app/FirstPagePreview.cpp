#include "app/FirstPagePreview.h"

#include "crop/QpdfLoader.h"
#include "render/ContainedReading.h"
#include "render/MupdfRasterizer.h"
#include "render/ProcessRasterizer.h"
#include "render/RenderHostLocation.h"

#include <QThreadPool>

namespace FirstPagePreview {

namespace {

// The request that shows page, as displayed, as large as fits area.
PageRenderRequest requestFor(const PageGeometry& page, const QSize& area, qreal ratio) {
    const QRectF box = page.box(PdfBox::Crop);
    const bool turned = page.rotation % 180 != 0;
    const QSizeF shown = turned ? box.size().transposed() : box.size();
    const QSizeF fitted = shown.scaled(QSizeF(area), Qt::KeepAspectRatio);
    return {0, box, page.rotation, (fitted * ratio).toSize(), ratio};
}

void draw(const QString& path, const QSize& area, qreal ratio,
          const std::function<void(const QImage&)>& deliver) {
    QString error;
    const auto data = PdfSourceData::mapFile(path, &error);
    if (!data)
        return;
    const QString host = RenderHostLocation::path();
    const PagesRead first = host.isEmpty() ? readFirstPageHere(*data, QByteArray())
                                           : ContainedReading::readFirstPage(*data, {}, host);
    if (first.outcome != PagesRead::Outcome::Read || first.pages.size() != 1 ||
        first.pages[0].damaged)
        return;
    const PdfRenderSource source{data, QByteArray()};
    std::unique_ptr<PageRasterizer> rasterizer;
    if (host.isEmpty())
        rasterizer = std::make_unique<MupdfRasterizer>(source);
    else
        rasterizer = std::make_unique<ProcessRasterizer>(source, host);
    const PageRenderResult drawn =
        rasterizer->render(requestFor(first.pages[0], area, ratio), std::stop_token());
    if (!drawn.image.isNull())
        deliver(drawn.image);
}

} // namespace

void start(const QString& path, const QSize& area, qreal devicePixelRatio,
           std::function<void(const QImage&)> deliver) {
    QThreadPool::globalInstance()->start(
        [path, area, devicePixelRatio, deliver = std::move(deliver)] {
            draw(path, area, devicePixelRatio, deliver);
        });
}

} // namespace FirstPagePreview
