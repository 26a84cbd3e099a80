#include "cli/ContentMeasurement.h"

#include "crop/PdfDocument.h"
#include "render/DocumentRasterizers.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace ContentMeasurement {

std::map<qint64, QRectF> measure(const PdfDocument& document,
                                 std::shared_ptr<const RenderWorkplace> workplace,
                                 const std::vector<qint64>& pages, const Progress& progress) {
    const DocumentRasterizers::Maker make = DocumentRasterizers::maker(
        document.renderSource(), document.filePageCount(), std::move(workplace));
    std::mutex mutex;
    std::condition_variable measured;
    size_t next = 0;
    int done = 0;
    std::map<qint64, QRectF> bounds;
    // Each worker takes the next page not taken yet, with a rasterizer of its own, made when
    // it takes its first.
    const auto work = [&] {
        std::unique_ptr<RecoveringRasterizer> rasterizer;
        for (;;) {
            qint64 n = 0;
            {
                const std::lock_guard lock(mutex);
                if (next == pages.size())
                    return;
                n = pages[next++];
            }
            if (!rasterizer)
                rasterizer = make();
            const int index = static_cast<int>(n - 1);
            ContentBoundsOptions options;
            options.within = document.shownRegion(index);
            const auto content = rasterizer->contentBounds(document.filePageIndex(index), options);
            {
                const std::lock_guard lock(mutex);
                if (content)
                    bounds.emplace(n, *content);
                ++done;
            }
            measured.notify_one();
        }
    };
    std::vector<std::jthread> workers;
    for (int i = 0; i < PageContentMeasurer::kForBatch; ++i)
        workers.emplace_back(work);
    // Progress is told here, on the caller's thread, page by page.
    const int total = static_cast<int>(pages.size());
    std::unique_lock lock(mutex);
    for (int told = 0; told < total;) {
        measured.wait(lock, [&] { return done > told; });
        const int now = done;
        lock.unlock();
        while (told < now)
            progress(++told, total);
        lock.lock();
    }
    lock.unlock();
    workers.clear();
    return bounds;
}

} // namespace ContentMeasurement
