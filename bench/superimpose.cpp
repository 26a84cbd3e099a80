// Superimposed pages in the editing window: how soon, after the view is turned on in batch
// mode with every page of a 200-page text document selected, the page view shows the blend
// of all 64 pages it samples. Pages are drawn as the program draws them, in render hosts.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "crop/QpdfLoader.h"
#include "editor/RMMainWindowController.h"
#include "editor/RMMainWindowDelegate.h"
#include "editor/RMPDFImgView.h"
#include "editor/SuperimposedPages.h"
#include "platform/CollectionView.h"
#include "platform/CollectionViewItem.h"
#include "render/RenderHostWorkplace.h"
#include "ui_RMMainWindowController.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <algorithm>

namespace {

constexpr int kPages = 200;

struct PathDelegate : RMMainWindowDelegate {
    QString path;
    QString currentFilePath() const override { return path; }
};

void superimpose_64p_ms(benchmark::State& state) {
    PathDelegate delegate;
    delegate.path = ManyPagesCorpus::textDocument(kPages);
    auto opened = QpdfLoader().open(delegate.path);
    if (!opened.ok()) {
        state.SkipWithError("the document did not open");
        return;
    }
    RMMainWindowController window(std::move(opened.document), &delegate,
                                  std::make_shared<RenderHostWorkplace>(CROPMARK_RENDER_HOST));
    window.show();
    RMPDFImgView* view = window.ui().pdfImgView;
    // Timed once the window has drawn its first page and the thumbnails the strip shows, as
    // when a user turns the view on.
    const bool settled = QTest::qWaitFor(
        [&window, view] {
            const auto items = window.ui().thumbCollectionView->visibleItems();
            return view->pdfImg().size() == view->imagePixelSize() &&
                   std::all_of(items.begin(), items.end(), [](CollectionViewItem* item) {
                       auto* thumb = item->view()->findChild<RMPDFImgView*>();
                       return !thumb || !thumb->pdfImg().isNull();
                   });
        },
        20000);
    if (!settled) {
        state.SkipWithError("the window did not show its first page and thumbnails");
        return;
    }
    window.batchCropClickHandler();
    QAction* superimpose = window.viewActions().value(0);
    SuperimposedPages& pages = window.superimposedPages();
    qint64 page = 0;
    for (auto _ : state) {
        superimpose->setChecked(true);
        const bool shown = QTest::qWaitFor(
            [&pages, view] {
                return pages.isComplete() && !pages.picture().isNull() &&
                       view->pdfImg().size() == pages.picture().size();
            },
            20000);
        if (!shown || pages.pages().size() != SuperimposedPages::kMaxPages) {
            state.SkipWithError("the blend of 64 pages was not shown");
            return;
        }
        view->repaint();
        state.PauseTiming();
        // Another current page, so the next picture is drawn afresh.
        superimpose->setChecked(false);
        window.mainPDFViewJumpWithIndex(++page);
        state.ResumeTiming();
    }
}
BENCHMARK(superimpose_64p_ms)->Unit(benchmark::kMillisecond)->Iterations(8);

} // namespace

int main(int argc, char** argv) {
    // A screen the window has its full size on.
    const QString screen = QDir::temp().filePath(QStringLiteral("cropmark-bench-screen.json"));
    QFile config(screen);
    if (config.open(QIODevice::WriteOnly)) {
        config.write(R"({ "screens": [ { "name": "screen", "x": 0, "y": 0, "width": 1920,
                         "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96 } ] })");
        config.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screen.toUtf8());
    }
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
