// Finding the content of a page, as "Fit to Content" does for each page it crops: text pages
// by what they draw, 300 dpi scans by their ink.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "bench/support/ScanCorpus.h"
#include "render/MupdfRasterizer.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kTimedPages = 40;

// Each timed page is one not measured before; one more is measured first, untimed, while
// MuPDF loads fonts and sets up colour conversion.
void measurePages(benchmark::State& state, const QString& path) {
    QString error;
    MupdfRasterizer rasterizer({PdfSourceData::mapFile(path, &error), {}});
    rasterizer.contentBounds(kTimedPages, {});
    int page = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(rasterizer.contentBounds(page++, {}));
}

void content_bounds_ms_per_page_text(benchmark::State& state) {
    measurePages(state, ManyPagesCorpus::textDocument(kTimedPages + 1));
}

void content_bounds_ms_per_page_scan_300dpi(benchmark::State& state) {
    measurePages(state, ScanCorpus::scanDocument(kTimedPages + 1, 68, 300));
}

} // namespace

BENCHMARK(content_bounds_ms_per_page_text)->Unit(benchmark::kMillisecond)->Iterations(kTimedPages);
BENCHMARK(content_bounds_ms_per_page_scan_300dpi)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kTimedPages);

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
