// The editing window on a 10,000-page document: how soon the first page shows, how smoothly
// the thumbnail strip scrolls, and how much memory the strip needs once every thumbnail has
// been drawn.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "crop/QpdfLoader.h"
#include "editor/RMMainWindowController.h"
#include "editor/RMMainWindowDelegate.h"
#include "editor/RMPDFImgView.h"
#include "platform/CollectionView.h"
#include "platform/CollectionViewItem.h"
#include "render/InProcessWorkplace.h"
#include "ui_RMMainWindowController.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>

#include <fstream>
#include <string>

namespace {

constexpr int kPages = 10000;

struct PathDelegate : RMMainWindowDelegate {
    QString path;
    QString currentFilePath() const override { return path; }
};

// Opens the document in a window and runs the event loop until the page view shows a
// picture drawn for its own size; null (and the benchmark marked failed) when it does not.
std::unique_ptr<RMMainWindowController> openWindow(PathDelegate& delegate,
                                                   benchmark::State& state) {
    delegate.path = ManyPagesCorpus::textDocument(kPages);
    auto opened = QpdfLoader().open(delegate.path);
    if (!opened.ok()) {
        state.SkipWithError("the document did not open");
        return nullptr;
    }
    auto window = std::make_unique<RMMainWindowController>(std::move(opened.document), &delegate,
                                                           std::make_shared<InProcessWorkplace>());
    window->show();
    RMPDFImgView* view = window->ui().pdfImgView;
    const bool shown = QTest::qWaitFor(
        [view] {
            return !view->pdfImg().isNull() && view->pdfImg().size() == view->imagePixelSize();
        },
        10000);
    if (!shown) {
        state.SkipWithError("the window did not show its first page");
        return nullptr;
    }
    return window;
}

// Runs the event loop until every thumbnail the strip shows has its picture.
bool waitForVisibleThumbnails(RMMainWindowController& window) {
    CollectionView* strip = window.ui().thumbCollectionView;
    return QTest::qWaitFor(
        [strip] {
            QCoreApplication::processEvents();
            for (CollectionViewItem* item : strip->visibleItems()) {
                auto* view = item->view()->findChild<RMPDFImgView*>();
                if (view && view->pdfImg().isNull())
                    return false;
            }
            return true;
        },
        5000);
}

double peakResidentMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

void strip_all_thumbs_peak_rss_mb(benchmark::State& state) {
    for (auto _ : state) {
        PathDelegate delegate;
        auto window = openWindow(delegate, state);
        if (!window)
            return;
        QScrollBar* bar = window->ui().thumbCollectionView->verticalScrollBar();
        while (bar->value() < bar->maximum()) {
            bar->setValue(bar->value() + bar->pageStep());
            if (!waitForVisibleThumbnails(*window)) {
                state.SkipWithError("thumbnails were not drawn");
                return;
            }
        }
        state.counters["value"] = peakResidentMb();
    }
}
// First, so that the peak is this benchmark's own.
BENCHMARK(strip_all_thumbs_peak_rss_mb)->Iterations(1)->Unit(benchmark::kMillisecond);

void open_to_first_page_10000p_ms(benchmark::State& state) {
    ManyPagesCorpus::textDocument(kPages);
    for (auto _ : state) {
        PathDelegate delegate;
        auto window = openWindow(delegate, state);
        if (!window)
            return;
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(open_to_first_page_10000p_ms)->Unit(benchmark::kMillisecond)->Iterations(5);

void strip_scroll_frame_ms(benchmark::State& state) {
    PathDelegate delegate;
    auto window = openWindow(delegate, state);
    if (!window)
        return;
    CollectionView* strip = window->ui().thumbCollectionView;
    QScrollBar* bar = strip->verticalScrollBar();
    for (auto _ : state) {
        // One screen further, wrapping at the end; only the GUI thread's work is timed.
        bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + bar->pageStep());
        strip->viewport()->repaint();
    }
}
BENCHMARK(strip_scroll_frame_ms)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
