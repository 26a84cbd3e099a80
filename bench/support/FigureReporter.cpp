#include "bench/support/FigureReporter.h"

#include <cstdio>

bool FigureReporter::ReportContext(const Context&) {
    return true;
}

void FigureReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        const std::string& name = run.run_name.function_name;
        // Only figures go to standard output, so that a missing one is simply not there.
        if (run.error_occurred) {
            std::fprintf(stderr, "%s skipped: %s\n", name.c_str(), run.error_message.c_str());
            continue;
        }
        const auto counter = run.counters.find("value");
        const double value =
            counter != run.counters.end() ? counter->second.value : run.GetAdjustedRealTime();
        std::printf("%s %.3f\n", name.c_str(), value);
        for (const auto& [counterName, other] : run.counters) {
            if (counterName != "value")
                std::printf("%s/%s %.3f\n", name.c_str(), counterName.c_str(), other.value);
        }
    }
    std::fflush(stdout);
}

int runBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
