#include "cli/ContentMeasurement.h"

#include "crop/PdfDocument.h"
#include "render/DocumentRasterizers.h"

namespace ContentMeasurement {

std::map<qint64, QRectF> measure(const PdfDocument& document,
                                 std::shared_ptr<const RenderWorkplace> workplace,
                                 const std::vector<qint64>& pages, const Progress& progress) {
    const auto rasterizer = DocumentRasterizers::maker(
        document.renderSource(), document.pageCount(), std::move(workplace))();
    std::map<qint64, QRectF> bounds;
    const int total = static_cast<int>(pages.size());
    int done = 0;
    for (qint64 n : pages) {
        if (const auto content = rasterizer->contentBounds(static_cast<int>(n - 1), {}))
            bounds.emplace(n, *content);
        progress(++done, total);
    }
    return bounds;
}

} // namespace ContentMeasurement
