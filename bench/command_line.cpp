// Cropping whole files to their content from the command line, beside other command-line
// croppers when asked for with CROPMARK_BENCH_COMPARE=1 (with which scripts/bench installs
// them): a 400-page scan and a 2000-page text file. Each tool runs as a user runs it, timed from
// its start until it ends with its output written. A tool that is missing, fails or runs past its
// time limit gives no figure, and standard error says why.
//
// And a scanned book of 10,000 pages fitted to its content, by this program alone.
//
// And cropping by margins and saving, against copying the same file and syncing the copy to
// disk, the floor a save can come near: a 400-page scan and a 10,000-page text file. And
// splitting every page of the 400-page scan in two, alone and against the same copy, beside
// MuPDF's poster tool when asked for. And keeping the top half of each page of the 400-page scan
// with what lies outside it removed, and how much of the file that leaves.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "bench/support/ScanCorpus.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace {

constexpr int kTimeLimitMs = 15 * 60 * 1000;
// Saves and copies timed in turn, so that both meet the machine as it is.
constexpr int kPairs = 7;

struct Tool {
    // The figures' prefix.
    const char* name;
    QString program;
    // The arguments that crop in to out.
    std::function<QStringList(const QString& in, const QString& out)> arguments;
    // What is measured of out besides the time, once it is written; none for the time alone.
    void (*weigh)(benchmark::State& state, const QString& in, const QString& out) = nullptr;
};

struct Corpus {
    // The figures' suffix.
    const char* name;
    QString (*path)();
};

QString scans() {
    return ScanCorpus::scanDocument(400, 130);
}

QString textPages() {
    return ManyPagesCorpus::textDocument(2000);
}

// The seconds program takes with arguments until it ends having written out; nothing, with the
// benchmark skipped and why, when it fails or runs past the time limit.
std::optional<double> timedRun(benchmark::State& state, const QString& program,
                               const QStringList& arguments, const QString& out) {
    QFile::remove(out);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Tools written with Qt draw nothing, but still want a platform.
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(kTimeLimitMs)) {
        process.kill();
        process.waitForFinished();
        state.SkipWithError("did not finish within its time limit");
        return std::nullopt;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        !QFile::exists(out)) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        state.SkipWithError(("failed: " + said.section('\n', -1)).toStdString().c_str());
        return std::nullopt;
    }
    return seconds;
}

QString benchFile(const QString& name) {
    return QDir::temp().filePath("cropmark-bench/" + name);
}

void cropWith(benchmark::State& state, const Tool& tool, const Corpus& corpus) {
    const QString in = corpus.path();
    const QString out = benchFile("cropped-by-" + QString::fromLatin1(tool.name) + ".pdf");
    for (auto _ : state) {
        if (const auto seconds = timedRun(state, tool.program, tool.arguments(in, out), out)) {
            state.counters["value"] = *seconds;
            if (tool.weigh)
                tool.weigh(state, in, out);
        }
    }
    QFile::remove(out);
}

// The size of out as a fraction of in's, as the counter "output_ratio", for an out that qpdf
// finds no fault in; none, with the benchmark skipped and what qpdf said, otherwise.
void checkedSizeRatio(benchmark::State& state, const QString& in, const QString& out) {
    QProcess qpdf;
    qpdf.setProcessChannelMode(QProcess::MergedChannels);
    qpdf.start("qpdf", {"--check", out});
    const bool finished = qpdf.waitForFinished(kTimeLimitMs);
    const QString said = QString::fromLocal8Bit(qpdf.readAll()).trimmed();
    if (!finished || qpdf.exitStatus() != QProcess::NormalExit || qpdf.exitCode() != 0 ||
        said.contains("WARNING")) {
        state.SkipWithError(("qpdf --check: " + said.section('\n', -1)).toStdString().c_str());
        return;
    }
    state.counters["output_ratio"] = double(QFileInfo(out).size()) / QFileInfo(in).size();
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

// The median time of a crop and save with arguments (before the input and -o) over the median
// time of a copy synced to disk.
void saveVersusCopy(benchmark::State& state, const Corpus& corpus, const QStringList& arguments) {
    const QString in = corpus.path();
    const QString saved = benchFile("saved.pdf");
    const QString copied = benchFile("copied.pdf");
    for (auto _ : state) {
        std::vector<double> saves, copies;
        for (int pair = 0; pair < kPairs; ++pair) {
            const auto copy =
                timedRun(state, "sh", {"-c", R"(cp "$0" "$1" && sync "$1")", in, copied}, copied);
            const auto save =
                copy ? timedRun(state, CROPMARK_EXECUTABLE,
                                QStringList{"crop"} + arguments + QStringList{"-o", saved, in},
                                saved)
                     : std::nullopt;
            if (!save)
                break;
            copies.push_back(*copy);
            saves.push_back(*save);
        }
        if (saves.size() == kPairs)
            state.counters["value"] = median(saves) / median(copies);
    }
    QFile::remove(saved);
    QFile::remove(copied);
}

} // namespace

int main(int argc, char** argv) {
    // Ours first.
    const Tool tools[] = {
        {"cli_fit_content", CROPMARK_EXECUTABLE,
         [](const QString& in, const QString& out) {
             return QStringList{"crop", "--fit-content", "-o", out, in};
         }},
        // Each page to its own content.
        {"pdfcrop", "pdfcrop",
         [](const QString& in, const QString& out) {
             return QStringList{in, out};
         }},
        // One rectangle that holds every page's content, found from all pages; nothing is
        // taken from earlier runs' settings.
        {"krop", "krop",
         [](const QString& in, const QString& out) {
             return QStringList{"--go",
                                "--trim",
                                "--trim-use",
                                "all",
                                "--selections",
                                "all",
                                "--trim-padding",
                                "0",
                                "--optimize",
                                "no",
                                "-o",
                                out,
                                in};
         }},
    };
    const Corpus corpora[] = {{"400p", &scans}, {"2000p_text", &textPages}};
    // The other croppers take many minutes on these files, so they run only when asked for,
    // even where they happen to be installed.
    const bool compare = !qEnvironmentVariableIsEmpty("CROPMARK_BENCH_COMPARE");
    for (const Tool& tool : std::span(tools).first(compare ? std::size(tools) : 1)) {
        if (QStandardPaths::findExecutable(tool.program).isEmpty() &&
            !QFile::exists(tool.program)) {
            std::fprintf(stderr, "%s is not installed: its figures are skipped\n", tool.name);
            continue;
        }
        for (const Corpus& corpus : corpora) {
            const std::string name = std::string(tool.name) + '_' + corpus.name + "_s";
            benchmark::RegisterBenchmark(name.c_str(), cropWith, tool, corpus)->Iterations(1);
        }
    }
    // A scanned book of 10,000 pages at 300 dpi fitted to its content page by page, ours alone:
    // the others would take hours.
    const Corpus book{"10000p_scan",
                      [] { return ScanCorpus::repeatedScanDocument(10000, 8, 300); }};
    benchmark::RegisterBenchmark("fit_content_10000p_scan_s", cropWith, tools[0], book)
        ->Iterations(1);
    const Corpus saved[] = {{"400p", &scans},
                            {"10000p", [] { return ManyPagesCorpus::textDocument(10000); }}};
    const QStringList margins{"--margins", "20pt,20pt,20pt,20pt"};
    for (const Corpus& corpus : saved) {
        const std::string name = std::string("save_vs_cp_sync_") + corpus.name;
        benchmark::RegisterBenchmark(name.c_str(), saveVersusCopy, corpus, margins)->Iterations(1);
    }
    const Tool splitters[] = {
        {"cli_split", CROPMARK_EXECUTABLE,
         [](const QString& in, const QString& out) {
             return QStringList{"crop", "--split", "2x1", "-o", out, in};
         }},
        // Each page cut into two tiles side by side.
        {"mutool_poster", "mutool",
         [](const QString& in, const QString& out) {
             return QStringList{"poster", "-x", "2", in, out};
         }},
    };
    for (const Tool& tool : std::span(splitters).first(compare ? std::size(splitters) : 1)) {
        if (QStandardPaths::findExecutable(tool.program).isEmpty() &&
            !QFile::exists(tool.program)) {
            std::fprintf(stderr, "%s is not installed: its figure is skipped\n", tool.name);
            continue;
        }
        const std::string name = std::string(tool.name) + "_400p_s";
        benchmark::RegisterBenchmark(name.c_str(), cropWith, tool, corpora[0])->Iterations(1);
    }
    benchmark::RegisterBenchmark("split_vs_cp_sync_400p", saveVersusCopy, saved[0],
                                 QStringList{"--split", "2x1"})
        ->Iterations(1);
    // The top half of each page kept: each page's scan cut to it, so the file should come to
    // about half its size.
    const Tool remover{"cli_remove_outside", CROPMARK_EXECUTABLE,
                       [](const QString& in, const QString& out) {
                           return QStringList{"crop", "--margins", "0,0,0,50%", "--remove-outside",
                                              "-o",   out,         in};
                       },
                       checkedSizeRatio};
    benchmark::RegisterBenchmark("cli_remove_outside_400p_s", cropWith, remover, corpora[0])
        ->Iterations(1);
    return runBenchmarks(argc, argv);
}
