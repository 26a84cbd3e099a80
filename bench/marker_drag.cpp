// Dragging the crop marker: the cost of one drag event and the repaint it causes, on a page
// view at device pixel ratio 2 showing a rendered page: 573 x 573, and 1400 x 1400 as in a
// maximised window on a large screen; zoomed to four times 573; and at 573 x 573 while the
// view shows a batch's pages superimposed, once made and while they are drawn and blended in
// the background.

#include "bench/support/FigureReporter.h"
#include "bench/support/ManyPagesCorpus.h"
#include "crop/CropSession.h"
#include "crop/QpdfLoader.h"
#include "editor/RMPDFImgView.h"
#include "editor/SuperimposedPages.h"
#include "render/DocumentRasterizers.h"
#include "render/InProcessWorkplace.h"
#include "render/MupdfRasterizer.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTest>

#include <functional>

namespace {

// The view, side pixels square, zoomed by zoom in a scrolled area of 1000 x 800 pixels, as
// the window shows it: its page drawn whole at the unzoomed size and sharp where in sight.
// alongside, when given, starts what goes on in the background while the view is dragged.
void dragFrames(benchmark::State& state, int side, double zoom = 1.0,
                const std::function<void(RMPDFImgView&)>& alongside = {}) {
    QScrollArea area;
    area.resize(1000, 800);
    auto* canvas = new QWidget;
    auto* view = new RMPDFImgView(canvas);
    const int zoomed = int(side * zoom);
    canvas->resize(zoomed, zoomed);
    view->resize(zoomed, zoomed);
    area.setWidget(canvas);
    view->setIsCanEdit(true);
    area.show();
    if (!QTest::qWaitForWindowExposed(&area) || view->devicePixelRatioF() != 2.0) {
        state.SkipWithError("the view is not shown at device pixel ratio 2");
        return;
    }
    QString error;
    MupdfRasterizer rasterizer(
        PdfRenderSource{PdfSourceData::mapFile(ManyPagesCorpus::textDocument(41), &error), {}});
    const auto draw = [&](QSize pixels, const QRectF& box) {
        return rasterizer.render({0, box, 0, pixels, view->devicePixelRatioF()}, {}).image;
    };
    const QRectF letter(0, 0, 612, 792);
    // View space is the 573-unit square whatever the view's size on screen.
    view->setPageImg(draw(QSize(side, side) * 2, letter), QRectF(100, 100, 300, 300),
                     QRectF(0, 0, 573, 573));
    // Handle 8 sits at view space (400, 400); the drag wiggles it, in sight.
    const QPointF handle(400.0 * zoomed / 573, zoomed - 400.0 * zoomed / 573);
    if (zoom > 1) {
        area.ensureVisible(int(handle.x()), int(handle.y()), 300, 300);
        const QRect sight =
            QRect(view->mapFrom(area.viewport(), QPoint(0, 0)), area.viewport()->size());
        const QTransform toPage = QTransform::fromScale(612.0 / zoomed, -792.0 / zoomed) *
                                  QTransform::fromTranslate(0, 792);
        view->setPagePart(draw(sight.size() * 2, toPage.mapRect(QRectF(sight))), sight);
    }
    if (alongside)
        alongside(*view);

    auto send = [view](QEvent::Type type, QPointF widgetPoint, Qt::MouseButtons buttons) {
        QMouseEvent event(type, widgetPoint, view->mapToGlobal(widgetPoint), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(view, &event);
    };
    send(QEvent::MouseButtonPress, handle, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        const double offset = (step++ % 40) - 20;
        send(QEvent::MouseMove, handle + QPointF(offset, -offset), Qt::LeftButton);
        // The frame as the event loop draws it: what the drag asked to redraw, flushed.
        QCoreApplication::processEvents();
    }
    send(QEvent::MouseButtonRelease, handle, Qt::NoButton);
}

void marker_drag_frame_ms(benchmark::State& state) {
    dragFrames(state, 573);
}
BENCHMARK(marker_drag_frame_ms)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void marker_drag_frame_1400px_ms(benchmark::State& state) {
    dragFrames(state, 1400);
}
BENCHMARK(marker_drag_frame_1400px_ms)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// A letter page zoomed to four times its fitted size: the view many times the window's size.
void marker_drag_frame_zoomed_ms(benchmark::State& state) {
    dragFrames(state, 573, 4.0);
}
BENCHMARK(marker_drag_frame_zoomed_ms)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The drag over a batch's pages superimposed: the picture made, or, with redrawing, drawn and
// blended again and again, so that 64 pages are always being drawn while the marker moves.
void superimposedDragFrames(benchmark::State& state, bool redrawing) {
    constexpr int kPages = 200;
    auto opened = QpdfLoader().open(ManyPagesCorpus::textDocument(kPages));
    if (!opened.ok()) {
        state.SkipWithError("the document did not open");
        return;
    }
    CropSession session(std::move(opened.document));
    session.setBatchCrop(true);
    SuperimposedPages pages(session);
    pages.setRasterizerFactory(DocumentRasterizers::maker(session.pdfDoc().renderSource(), kPages,
                                                          std::make_shared<InProcessWorkplace>()));
    dragFrames(state, 573, 1.0, [&](RMPDFImgView& view) {
        QObject::connect(&pages, &SuperimposedPages::pictureChanged, &view,
                         &RMPDFImgView::setPageImage);
        pages.compose(view.size());
        if (!QTest::qWaitFor([&pages] { return pages.isComplete(); }, 20000))
            state.SkipWithError("the pages were not superimposed");
        if (!redrawing)
            return;
        // Each finished picture starts the next, for another current page.
        QObject::connect(&pages, &SuperimposedPages::progress, &view, [&](int drawn, int total) {
            if (total == 0 || drawn < total)
                return;
            session.setCurrentIndex((session.currentIndex() + 1) % kPages);
            pages.compose(view.size());
        });
        session.setCurrentIndex(1);
        pages.compose(view.size());
    });
}

void marker_drag_frame_superimposed_ms(benchmark::State& state) {
    superimposedDragFrames(state, false);
}
BENCHMARK(marker_drag_frame_superimposed_ms)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void marker_drag_frame_superimposing_ms(benchmark::State& state) {
    superimposedDragFrames(state, true);
}
BENCHMARK(marker_drag_frame_superimposing_ms)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv) {
    // Every screen of this run is a HiDPI screen.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    return runBenchmarks(argc, argv);
}
