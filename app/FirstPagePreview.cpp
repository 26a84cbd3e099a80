#include "app/FirstPagePreview.h"

#include "crop/PdfRenderSource.h"
#include "platform/BackgroundReads.h"
#include "render/RenderWorkplace.h"

#include <future>

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

// The first page drawn, or a null image when it cannot be drawn this way.
QImage draw(const RenderWorkplace& workplace, const QString& path, const QSize& area, qreal ratio) {
    QString error;
    const auto data = PdfSourceData::mapFile(path, &error);
    if (!data)
        return {};
    const PdfRenderSource source{data, QByteArray()};
    // The renderer starts and reads the file while the first page's boxes are read, each in a
    // process of its own: one after the other, they kept the page from the screen twice as
    // long.
    auto starting = std::async(std::launch::async, [&] { return workplace.rasterizer(source); });
    const PagesRead first = workplace.readFirstPage(*data, QByteArray());
    const std::unique_ptr<PageRasterizer> rasterizer = starting.get();
    if (first.outcome != PagesRead::Outcome::Read || first.pages.size() != 1 ||
        first.pages[0].damaged)
        return {};
    const PageRenderRequest request = requestFor(first.pages[0], area, ratio);
    PageRenderResult drawn = rasterizer->render(request, std::stop_token());
    // A page the renderer cannot read from the file itself is drawn from the file's rewrite,
    // as the editing window draws it later.
    if (drawn.image.isNull()) {
        if (const auto copy = workplace.renderCopy(source))
            drawn = workplace.rasterizer(*copy)->render(request, std::stop_token());
    }
    return drawn.image;
}

} // namespace

void start(std::shared_ptr<const RenderWorkplace> workplace, const QString& path, const QSize& area,
           qreal devicePixelRatio, std::function<void(const QImage&)> deliver) {
    BackgroundReads::start([workplace = std::move(workplace), path, area, devicePixelRatio,
                            deliver = std::move(deliver)]() -> std::function<void()> {
        QImage image = draw(*workplace, path, area, devicePixelRatio);
        if (image.isNull())
            return {};
        return [deliver, image = std::move(image)] { deliver(image); };
    });
}

} // namespace FirstPagePreview
