// Dragging the crop marker: the cost of one drag event and the repaint it causes, on a
// 573 x 573 page view at device pixel ratio 2 showing a rendered page.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "editor/RMPDFImgView.h"
#include "render/MupdfRasterizer.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

namespace {

constexpr int kSide = 573;

void marker_drag_frame_ms(benchmark::State& state) {
    RMPDFImgView view;
    view.resize(kSide, kSide);
    view.setIsCanEdit(true);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view) || view.devicePixelRatioF() != 2.0) {
        state.SkipWithError("the view is not shown at device pixel ratio 2");
        return;
    }
    QString error;
    MupdfRasterizer rasterizer(
        PdfRenderSource{PdfSourceData::mapFile(ManyPagesCorpus::textDocument(41), &error), {}});
    const PageRenderResult page = rasterizer.render(
        {0, QRectF(0, 0, 612, 792), 0, view.imagePixelSize(), view.devicePixelRatioF()}, {});
    view.setPageImg(page.image, QRectF(100, 100, 300, 300), QRectF(0, 0, kSide, kSide));

    auto send = [&view](QEvent::Type type, QPointF widgetPoint, Qt::MouseButtons buttons) {
        QMouseEvent event(type, widgetPoint, view.mapToGlobal(widgetPoint), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    };
    // Handle 8 sits at view (400, 400), widget (400, 173); the drag wiggles it.
    send(QEvent::MouseButtonPress, QPointF(400, 173), Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        const double offset = (step++ % 40) - 20;
        send(QEvent::MouseMove, QPointF(400 + offset, 173 - offset), Qt::LeftButton);
        view.repaint();
    }
    send(QEvent::MouseButtonRelease, QPointF(400, 173), Qt::NoButton);
}
BENCHMARK(marker_drag_frame_ms)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv) {
    // Every screen of this run is a HiDPI screen.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
