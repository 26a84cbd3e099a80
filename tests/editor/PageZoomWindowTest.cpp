// Zooming the page view: a crop dragged on a zoomed page is the crop of the same drag on the
// page fitted whole, saved alike; the part of a zoomed page in sight is drawn sharp, by a
// render host as the program draws; the wheel with Ctrl zooms around the pointer.

#include "editor/RMPDFImgView.h"
#include "render/RenderHostWorkplace.h"
#include "tests/editor/MainWindowFixture.h"
#include "tests/support/ExpectNear.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

const QRectF kLetter(0, 0, 612, 792);
const QRectF kBlock(100, 100, 300, 400);

class PageZoomWindowTest : public MainWindowTest {
protected:
    RMPDFImgView* view() { return ui().pdfImgView; }
    QWidget* viewport() { return ui().pageScroll->viewport(); }

    void zoomIn(int times) {
        for (int i = 0; i < times; ++i)
            QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_Equal));
    }
    // Drags the marker's top-right handle, at the page's corner, to the page's point at these
    // fractions of its width and height (y up), scrolled to it as a user would.
    void dragTopRightTo(double x, double y) {
        RMPDFImgView* page = view();
        const QPointF from(page->width(), 0);
        const QPointF to(x * page->width(), (1 - y) * page->height());
        const QPoint inCanvas = page->mapToParent(from.toPoint());
        ui().pageScroll->ensureVisible(inCanvas.x(), inCanvas.y());
        const auto send = [page](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, page->mapToGlobal(at), Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(page, &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::NoButton);
    }
};

TEST_F(PageZoomWindowTest, ACropDraggedOnAZoomedPageIsTheCropOfTheSameDragFittedAndSavesSo) {
    workplace = std::make_shared<RenderHostWorkplace>(CROPMARK_RENDER_HOST);
    open({blockPage(kLetter, kBlock), blockPage(kLetter, kBlock)});
    const QRect fitted = view()->geometry();
    dragTopRightTo(0.8, 0.75);
    const QRectF fittedCrop = crop();
    EXPECT_NEAR(fittedCrop.right(), 0.8 * 612, 0.01);

    QTest::keyClick(window.get(), Qt::Key_PageDown);
    zoomIn(3);
    ASSERT_GT(view()->height(), viewport()->height()) << "zoomed past the area";
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui().pageScroll->verticalScrollBar()->isVisible(); }));
    dragTopRightTo(0.8, 0.75);
    expectNear(crop(), fittedCrop, 0.01);

    // What is in sight is drawn sharp at the zoomed size, not the whole page.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QRect sight(view()->mapFrom(viewport(), QPoint(0, 0)), viewport()->size());
            return view()->pagePart().contains(sight & view()->rect());
        },
        20000));
    EXPECT_LT(view()->pagePart().height(), view()->height());
    // Just inside the block's top-right corner, and a little outside it, within the crop.
    const auto pixelAt = [&](QPointF page) {
        const QPoint at(int(page.x() / 612 * view()->width()),
                        int((1 - page.y() / 792) * view()->height()));
        EXPECT_TRUE(view()->pagePart().contains(at));
        return view()->grab(QRect(at, QSize(1, 1))).toImage().pixelColor(0, 0);
    };
    EXPECT_EQ(pixelAt({kBlock.right() - 1, kBlock.bottom() - 1}), QColor(Qt::black));
    EXPECT_EQ(pixelAt({kBlock.right() + 20, kBlock.bottom() + 20}), QColor(Qt::white));

    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_0));
    EXPECT_EQ(view()->geometry(), fitted) << "Fit Page gives the page back as it opened";
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !ui().pageScroll->verticalScrollBar()->isVisible(); }));

    zoomIn(3);
    pressDone();
    const QString target = dir.filePath("zoomed.pdf");
    ASSERT_EQ(saveTo(target), "");
    const auto saved = QpdfLoader().open(target);
    ASSERT_TRUE(saved.ok());
    expectNear(saved.document->boundsForBox(1, PdfBox::Crop),
               saved.document->boundsForBox(0, PdfBox::Crop), 0.01);
}

// A page smaller than its area stays in the middle of it; one larger keeps the point under
// the pointer where it is.
TEST_F(PageZoomWindowTest, TheWheelWithCtrlZoomsAroundThePointer) {
    open({blockPage(kLetter, kBlock)});
    zoomIn(3);
    ASSERT_GT(view()->width(), viewport()->width());
    const QPoint pointer(viewport()->width() / 3, viewport()->height() / 4);
    const auto pageShareAt = [&](QPoint at) {
        const QPointF inView = view()->mapFrom(viewport(), QPointF(at));
        return QPointF(inView.x() / view()->width(), inView.y() / view()->height());
    };
    const QPointF before = pageShareAt(pointer);
    const int zoomedWidth = view()->width();
    for (int notch = 0; notch < 2; ++notch) {
        const QPointF at = view()->mapFrom(viewport(), QPointF(pointer));
        QWheelEvent wheel(at, view()->mapToGlobal(at), {}, {0, 120}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view(), &wheel);
    }
    ASSERT_NEAR(view()->width(), 1.44 * zoomedWidth, 2) << "two notches zoom by 1.2 each";
    const QPointF after = pageShareAt(pointer);
    EXPECT_NEAR(after.x(), before.x(), 1.0 / view()->width());
    EXPECT_NEAR(after.y(), before.y(), 1.0 / view()->height());
}

} // namespace
