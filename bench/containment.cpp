// What drawing pages in a render host costs: the extra time to the first page of a normal
// 400-page file.

#include "bench/support/FigureReporter.h"
#include "bench/support/ScanCorpus.h"
#include "render/MupdfRasterizer.h"
#include "render/ProcessRasterizer.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

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

} // namespace

BENCHMARK(containment_overhead_open_ms)->Iterations(1);

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
