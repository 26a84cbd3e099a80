// Opening a very large document: parse, count its pages and build every crop record.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "crop/CropRecords.h"
#include "crop/QpdfLoader.h"

#include <benchmark/benchmark.h>

namespace {

void open_10000p_ms(benchmark::State& state) {
    const QString path = ManyPagesCorpus::textDocument(10000);
    for (auto _ : state) {
        auto result = QpdfLoader().open(path);
        if (!result.ok() || result.document->pageCount() != 10000) {
            state.SkipWithError("the generated document did not open");
            return;
        }
        auto records = CropRecords::build(*result.document);
        benchmark::DoNotOptimize(records.data());
    }
}
BENCHMARK(open_10000p_ms)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
