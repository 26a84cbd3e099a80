// Crops on a very large document: a batch crop over every page, and "Done" applying them.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "crop/CropGeometry.h"
#include "crop/CropSession.h"
#include "crop/QpdfLoader.h"

#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<CropSession> openSession(benchmark::State& state) {
    auto result = QpdfLoader().open(ManyPagesCorpus::textDocument(10000));
    if (!result.ok()) {
        state.SkipWithError("the generated document did not open");
        return nullptr;
    }
    auto session = std::make_unique<CropSession>(std::move(result.document));
    session->setBatchCrop(true);
    return session;
}

// The view rectangle a drag over the middle of the current page reports.
QRectF dragRect(const CropSession& session) {
    const QRectF page = session.cropsRect()[0].pageRect;
    return CropGeometry::pdfImgViewCropRectWithShowRect(
        CropGeometry::mainPDFImgViewShowRect(page), page,
        QRectF(36, 36, page.width() - 72, page.height() - 90));
}

void batch_crop_10000p_ms(benchmark::State& state) {
    auto session = openSession(state);
    if (!session)
        return;
    const QRectF rect = dragRect(*session);
    for (auto _ : state)
        benchmark::DoNotOptimize(session->cropIsFinishedWithRect(rect));
}
BENCHMARK(batch_crop_10000p_ms)->Unit(benchmark::kMillisecond);

void done_10000p_ms(benchmark::State& state) {
    auto session = openSession(state);
    if (!session)
        return;
    const QRectF rect = dragRect(*session);
    for (auto _ : state) {
        state.PauseTiming();
        session->revertAll();
        session->cropIsFinishedWithRect(rect);
        state.ResumeTiming();
        session->done();
    }
}
BENCHMARK(done_10000p_ms)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
