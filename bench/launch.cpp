// From starting the program with a 10,000-page file to its window on the screen, to the
// first page drawn in it, and to the editing window with its page, on a real (virtual) X
// display.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "tests/support/VirtualDisplay.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kLaunches = 5;
constexpr qint64 kGiveUpMs = 20000;

struct Launch {
    double windowMs = -1;
    double firstPageMs = -1;
    double editorMs = -1;
};

// The opening window is small; the editing window takes its place at a size for work.
constexpr int kEditorMinimumWidth = 800;

struct Session {
    VirtualDisplay display;
    std::unique_ptr<QGuiApplication> app;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

Session& session() {
    static Session* shared = [] {
        auto* s = new Session;
        qputenv("DISPLAY", s->display.name().toLatin1());
        qputenv("QT_QPA_PLATFORM", "xcb");
        static int argc = 1;
        static char name[] = "launch";
        static char* argv[] = {name, nullptr};
        s->app = std::make_unique<QGuiApplication>(argc, argv);
        s->environment.insert("DISPLAY", s->display.name());
        s->environment.remove("QT_QPA_PLATFORM");
        return s;
    }();
    return *shared;
}

// The width of the widest visible window of the file; 0 for none.
int windowShown(const QProcessEnvironment& environment) {
    QProcess search;
    search.setProcessEnvironment(environment);
    search.start("xdotool", {"search", "--onlyvisible", "--name", "^text_", "getwindowgeometry",
                             "--shell", "%@"});
    search.waitForFinished(5000);
    int widest = 0;
    for (const QByteArray& line : search.readAllStandardOutput().split('\n')) {
        if (line.startsWith("WIDTH="))
            widest = std::max(widest, line.mid(6).toInt());
    }
    return widest;
}

// A drawn text page puts a large white area in the middle of the screen; the program's
// windows are dark and the screen is black until then.
bool pageShown() {
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    int white = 0;
    for (int y = screen.height() / 4; y < screen.height() * 3 / 4; y += 8)
        for (int x = screen.width() / 4; x < screen.width() * 3 / 4; x += 8)
            white += screen.pixel(x, y) == 0xFFFFFFFF;
    return white > 1000;
}

Launch launchOnce(const QString& file) {
    Launch launch;
    QProcess cropmark;
    cropmark.setProcessEnvironment(session().environment);
    QElapsedTimer clock;
    clock.start();
    cropmark.start(CROPMARK_EXECUTABLE, {file});
    while (clock.elapsed() < kGiveUpMs && launch.editorMs < 0) {
        const int width = windowShown(session().environment);
        const bool page = pageShown();
        const double now = double(clock.nsecsElapsed()) / 1e6;
        if (launch.windowMs < 0 && width > 0)
            launch.windowMs = now;
        if (launch.firstPageMs < 0 && page)
            launch.firstPageMs = now;
        if (width >= kEditorMinimumWidth && page)
            launch.editorMs = now;
    }
    cropmark.kill();
    cropmark.waitForFinished(5000);
    QThread::msleep(200);
    return launch;
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void measure(benchmark::State& state, double Launch::*figure) {
    if (session().display.name().isEmpty()) {
        state.SkipWithError("Xvfb is not available");
        return;
    }
    const QString file = ManyPagesCorpus::textDocument(10000);
    launchOnce(file); // the file into the page cache, the program's libraries too
    for (auto _ : state) {
        std::vector<double> times;
        for (int i = 0; i < kLaunches; ++i)
            times.push_back(launchOnce(file).*figure);
        state.counters["value"] = median(times);
    }
}

void launch_to_window_10000p_ms(benchmark::State& state) {
    measure(state, &Launch::windowMs);
}

void launch_to_first_page_10000p_ms(benchmark::State& state) {
    measure(state, &Launch::firstPageMs);
}

} // namespace

void launch_to_editor_10000p_ms(benchmark::State& state) {
    measure(state, &Launch::editorMs);
}

BENCHMARK(launch_to_window_10000p_ms)->Iterations(1);
BENCHMARK(launch_to_first_page_10000p_ms)->Iterations(1);
BENCHMARK(launch_to_editor_10000p_ms)->Iterations(1);

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
