// Thumbnails: drawing one page 180 pixels wide, as the thumbnail strip does on one worker.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "bench/support/ScanCorpus.h"
#include "render/MupdfRasterizer.h"
#include "render/ProcessRasterizer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// Each timed render draws a page not drawn before, as a strip filling in does; one more page
// is drawn untimed first, while MuPDF loads fonts and sets up colour conversion.
constexpr int kTimedPages = 40;

PageRenderRequest thumbnailOf(int page) {
    return {page, QRectF(0, 0, 612, 792), 0, QSize(180, 233), 1.0};
}

// Draws in this process, or, as the program does, in a render host.
enum class Where { Here, InHost };

std::unique_ptr<PageRasterizer> rasterizerFor(const QString& path, Where where,
                                              benchmark::State& state) {
    QString error;
    const PdfRenderSource source{PdfSourceData::mapFile(path, &error), {}};
    std::unique_ptr<PageRasterizer> rasterizer;
    if (where == Where::Here)
        rasterizer = std::make_unique<MupdfRasterizer>(source);
    else
        rasterizer = std::make_unique<ProcessRasterizer>(source, CROPMARK_RENDER_HOST);
    const PageRenderResult warmUp = rasterizer->render(thumbnailOf(kTimedPages), {});
    if (warmUp.image.isNull()) {
        state.SkipWithError(warmUp.error.toStdString().c_str());
        return nullptr;
    }
    return rasterizer;
}

// Pages are drawn from the given documents in turn, so the figure is their mean per page.
void renderInTurn(benchmark::State& state, const std::vector<QString>& paths,
                  Where where = Where::Here) {
    std::vector<std::unique_ptr<PageRasterizer>> rasterizers;
    for (const QString& path : paths) {
        rasterizers.push_back(rasterizerFor(path, where, state));
        if (!rasterizers.back())
            return;
    }
    int turn = 0;
    for (auto _ : state) {
        auto& rasterizer = *rasterizers[static_cast<size_t>(turn) % rasterizers.size()];
        const int page = turn++ / static_cast<int>(rasterizers.size());
        const PageRenderResult result = rasterizer.render(thumbnailOf(page), {});
        benchmark::DoNotOptimize(result.image.constBits());
    }
}

QString textPages() {
    return ManyPagesCorpus::textDocument(kTimedPages + 1);
}
// The same scans as the large-save corpus: 200 dpi, about 325 KB of JPEG a page.
QString scanPages() {
    return ScanCorpus::scanDocument(400, 130);
}
// Finer scans: 300 dpi, about 1.6 MB of JPEG a page, whose decoding dominates.
QString fineScanPages() {
    return ScanCorpus::scanDocument(kTimedPages + 1, 68, 300);
}

void thumb_render_ms_per_page(benchmark::State& state) {
    renderInTurn(state, {textPages(), scanPages()});
}
// The same pages drawn as the program draws them, in a render host.
void thumb_render_ms_per_page_contained(benchmark::State& state) {
    renderInTurn(state, {textPages(), scanPages()}, Where::InHost);
}
void thumb_render_ms_per_page_text(benchmark::State& state) {
    renderInTurn(state, {textPages()});
}
void thumb_render_ms_per_page_scan(benchmark::State& state) {
    renderInTurn(state, {scanPages()});
}
void thumb_render_ms_per_page_scan_300dpi(benchmark::State& state) {
    renderInTurn(state, {fineScanPages()});
}

BENCHMARK(thumb_render_ms_per_page)->Unit(benchmark::kMillisecond)->Iterations(2 * kTimedPages);
BENCHMARK(thumb_render_ms_per_page_contained)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2 * kTimedPages);
BENCHMARK(thumb_render_ms_per_page_text)->Unit(benchmark::kMillisecond)->Iterations(kTimedPages);
BENCHMARK(thumb_render_ms_per_page_scan)->Unit(benchmark::kMillisecond)->Iterations(kTimedPages);
BENCHMARK(thumb_render_ms_per_page_scan_300dpi)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kTimedPages);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
