#pragma once

#include <benchmark/benchmark.h>

// Prints each benchmark as one "NAME VALUE" line: the benchmark's own name and either its
// counter "value" (ratios, megabytes) or its time per iteration in the benchmark's unit; each of
// its other counters is a figure of its own, "NAME/COUNTER VALUE". One that gives no figure (it
// failed, or what it compares with is missing) says why on standard error.
class FigureReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context& context) override;
    void ReportRuns(const std::vector<Run>& runs) override;
};

// The main() of every benchmark executable: runs the registered benchmarks with this reporter.
int runBenchmarks(int argc, char** argv);
