// Saving a large scanned document with every page cropped, compared with copying the file and
// forcing the copy to disk (the floor: a save forces its file to disk too) and with a qpdf
// command-line rewrite. Each save runs in a child process of its own, so its peak memory is
// the save's alone; the child times itself from opening the file to the saved file in place,
// which is what a user waits for in the running application. Every writer starts with no
// output file, so none pays for deleting an old one.

#include "bench/support/FigureReporter.h"
#include "bench/support/ScanCorpus.h"
#include "crop/CropGeometry.h"
#include "crop/CropSession.h"
#include "crop/QpdfLoader.h"

#include <benchmark/benchmark.h>

#include <QDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kRuns = 5;

struct ProcessRun {
    double seconds = 0;
    bool ok = false;
};

ProcessRun runProcess(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const auto& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return {};
    int status = 0;
    waitpid(pid, &status, 0);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return ProcessRun{elapsed.count(), WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct SaveFigures {
    double vsCp = 0;
    double vsQpdf = 0;
    double peakRssMb = 0;
    bool ok = false;
};

const SaveFigures& figures(const std::string& self) {
    static const SaveFigures measured = [&] {
        const std::string in = ScanCorpus::scanDocument(400, 130).toStdString();
        const std::string out = QDir::temp().filePath("cropmark-bench/saved.pdf").toStdString();
        std::vector<double> ours, cp, qpdf;
        SaveFigures f;
        f.ok = runProcess({"cp", in, out}).ok; // brings the file into the page cache
        const std::string timing = out + ".seconds";
        for (int run = 0; run < kRuns && f.ok; ++run) {
            std::remove(out.c_str());
            const ProcessRun save = runProcess({self, "--save-once", in, out, timing});
            std::ifstream reported(timing);
            double seconds = 0, peakRssMb = 0;
            f.ok = save.ok && (reported >> seconds >> peakRssMb);
            ours.push_back(seconds);
            f.peakRssMb = std::max(f.peakRssMb, peakRssMb);
            std::remove(out.c_str());
            const ProcessRun copy = runProcess({"cp", in, out});
            const ProcessRun synced = runProcess({"sync", "--data", out});
            f.ok = f.ok && copy.ok && synced.ok;
            cp.push_back(copy.seconds + synced.seconds);
            if (run < 3) {
                std::remove(out.c_str());
                qpdf.push_back(runProcess({"qpdf", in, out}).seconds);
            }
        }
        std::remove(out.c_str());
        std::remove(timing.c_str());
        if (f.ok) {
            f.vsCp = median(ours) / median(cp);
            f.vsQpdf = median(ours) / median(qpdf);
        }
        return f;
    }();
    return measured;
}

std::string selfPath;

void report(benchmark::State& state, double SaveFigures::*figure) {
    for (auto _ : state) {
        const SaveFigures& f = figures(selfPath);
        if (!f.ok) {
            state.SkipWithError("saving the generated document failed");
            return;
        }
        state.counters["value"] = f.*figure;
    }
}

void save_400p_130MB_vs_cp(benchmark::State& state) {
    report(state, &SaveFigures::vsCp);
}
void save_400p_130MB_vs_qpdf_cli(benchmark::State& state) {
    report(state, &SaveFigures::vsQpdf);
}
void save_peak_rss_mb(benchmark::State& state) {
    report(state, &SaveFigures::peakRssMb);
}
BENCHMARK(save_400p_130MB_vs_cp)->Iterations(1);
BENCHMARK(save_400p_130MB_vs_qpdf_cli)->Iterations(1);
BENCHMARK(save_peak_rss_mb)->Iterations(1);

// What the child process does: open, crop every page in one batch, apply, save; then
// report how long that took.
int saveOnce(const char* in, const char* out, const char* timing) {
    const auto start = std::chrono::steady_clock::now();
    auto opened = QpdfLoader().open(QString::fromLocal8Bit(in));
    if (!opened.ok())
        return 1;
    CropSession session(std::move(opened.document));
    session.setBatchCrop(true);
    const QRectF page = session.cropsRect()[0].pageRect;
    session.cropIsFinishedWithRect(CropGeometry::pdfImgViewCropRectWithShowRect(
        CropGeometry::mainPDFImgViewShowRect(page), page, QRectF(36, 36, 540, 700)));
    session.done();
    if (!session.pdfDoc().writeToFile(QString::fromLocal8Bit(out), nullptr))
        return 1;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    // The peak resident size as the kernel counts it for this process ("VmHWM", in kB);
    // a spawning parent's own size would be mixed into what wait4 reports.
    std::ifstream status("/proc/self/status");
    double peakKb = 0;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            peakKb = std::stod(line.substr(6));
    }
    std::ofstream(timing) << elapsed.count() << ' ' << peakKb / 1024.0;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--save-once") == 0)
        return saveOnce(argv[2], argv[3], argv[4]);
    selfPath = argv[0];
    return runBenchmarks(argc, argv);
}
