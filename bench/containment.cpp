// What drawing pages in a render host costs: the extra time to the first page of a normal
// 400-page file, and a thumbnail's time, drawn as the program draws them.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "bench/support/ScanCorpus.h"
#include "render/MupdfRasterizer.h"
#include "render/ProcessRasterizer.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int kTimedPages = 40;
constexpr int kOpenings = 7;

PageRenderRequest thumbnailOf(int page) {
    return {page, QRectF(0, 0, 612, 792), 0, QSize(180, 233), 1.0};
}

PdfRenderSource sourceOf(const QString& path) {
    QString error;
    return {PdfSourceData::mapFile(path, &error), {}};
}

using Make = std::function<std::unique_ptr<PageRasterizer>(const PdfRenderSource&)>;

std::unique_ptr<PageRasterizer> inProcess(const PdfRenderSource& source) {
    return std::make_unique<MupdfRasterizer>(source);
}

std::unique_ptr<PageRasterizer> inHost(const PdfRenderSource& source) {
    return std::make_unique<ProcessRasterizer>(source, CROPMARK_RENDER_HOST);
}

// Median milliseconds from making a rasterizer to holding the first page's thumbnail.
double firstPageMs(const PdfRenderSource& source, const Make& make) {
    std::vector<double> times;
    for (int i = 0; i < kOpenings; ++i) {
        QElapsedTimer clock;
        clock.start();
        const auto rasterizer = make(source);
        const PageRenderResult first = rasterizer->render(thumbnailOf(0), {});
        times.push_back(double(clock.nsecsElapsed()) / 1e6);
        benchmark::DoNotOptimize(first.image.constBits());
    }
    std::nth_element(times.begin(), times.begin() + kOpenings / 2, times.end());
    return times[kOpenings / 2];
}

void containment_overhead_open_ms(benchmark::State& state) {
    const PdfRenderSource source = sourceOf(ScanCorpus::scanDocument(400, 130));
    for (auto _ : state)
        state.counters["value"] = firstPageMs(source, inHost) - firstPageMs(source, inProcess);
}

// Text and scanned pages in turn, as thumb_render_ms_per_page, each drawn in a render host.
void thumb_render_ms_per_page_contained(benchmark::State& state) {
    std::vector<std::unique_ptr<PageRasterizer>> rasterizers;
    for (const QString& path :
         {ManyPagesCorpus::textDocument(kTimedPages + 1), ScanCorpus::scanDocument(400, 130)}) {
        rasterizers.push_back(inHost(sourceOf(path)));
        rasterizers.back()->render(thumbnailOf(kTimedPages), {});
    }
    int turn = 0;
    for (auto _ : state) {
        auto& rasterizer = *rasterizers[static_cast<size_t>(turn) % rasterizers.size()];
        const int page = turn++ / static_cast<int>(rasterizers.size());
        const PageRenderResult result = rasterizer.render(thumbnailOf(page), {});
        benchmark::DoNotOptimize(result.image.constBits());
    }
}

} // namespace

BENCHMARK(containment_overhead_open_ms)->Iterations(1);
BENCHMARK(thumb_render_ms_per_page_contained)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2 * kTimedPages);

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
