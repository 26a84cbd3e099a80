#include "editor/RMPDFImgView.h"
#include "editor/RMDrawDelegate.h"

#include <gtest/gtest.h>

#include <QTest>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

struct RecordingDelegate : RMDrawDelegate {
    std::vector<QRectF> crops;
    void cropIsFinishedWithRect(const QRectF& rect) override { crops.push_back(rect); }
};

const QRectF kFrame(0, 0, 400, 500);
const QRectF kCrop(100, 100, 200, 300);

// A 400 x 500 page view showing a white page at its own size, so that view space is the view's
// pixels. Points are the view's: origin at the lower-left corner, y upward.
class PageViewTest : public testing::Test {
protected:
    PageViewTest() {
        view.resize(kFrame.size().toSize());
        page.fill(Qt::white);
        view.setPageImg(page, kCrop, kFrame);
        view.setIsCanEdit(true);
        view.setDelegate(&delegate);
    }

    void mouse(QEvent::Type type, QPointF point) {
        const QPointF at(point.x(), view.height() - point.y());
        const bool move = type == QEvent::MouseMove;
        QMouseEvent event(type, at, view.mapToGlobal(at), move ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    }
    // Presses at the first point, drags through the others and releases at the last.
    void drag(const std::vector<QPointF>& path) {
        mouse(QEvent::MouseButtonPress, path.front());
        for (size_t i = 1; i + 1 < path.size(); ++i)
            mouse(QEvent::MouseMove, path[i]);
        mouse(QEvent::MouseButtonRelease, path.back());
    }

    QImage page{kFrame.size().toSize(), QImage::Format_RGB32};
    RMPDFImgView view;
    RecordingDelegate delegate;
};

// Lock: the aspect ratio locked at 2:1.
enum Option { Lock = 1, OffView = 2, ReadOnly = 4 };

// Every press ends in one report of the marker's rectangle, also when nothing changed. Handles
// are squares of 16 around the corners and the middles of the edges, half open, the lowest
// numbered first (bottom row 1 2 3, middle 4 5, top row 6 7 8); elsewhere inside the
// rectangle (its top edge in, its bottom edge out) a press moves it.
TEST_F(PageViewTest, DragsMoveAndResizeTheMarkerAndReportItOnce) {
    const struct {
        const char* name;
        std::vector<QPointF> path;
        std::optional<QRectF> reported; // none: no report
        QRectF start = kCrop;
        int options = 0;
    } cases[] = {
        {"corner square reaches 8 out", {{92, 100}, {92, 100}}, {{92, 100, 208, 300}}},
        {"and no further", {{91.99, 100}, {80, 80}}, kCrop},
        {"squares are half open", {{308, 400}, {320, 420}}, kCrop},
        {"top right", {{307.9, 392}, {320, 420}}, {{100, 100, 220, 320}}},
        {"lowest of two", {{100, 104}, {90, 104}}, {{90, 104, 210, 16}}, {100, 100, 200, 20}},
        {"click inside", {{200, 250}, {200, 250}}, kCrop},
        {"dimmed area", {{30, 30}, {35, 40}, {30, 30}}, kCrop},
        {"body moves", {{200, 250}, {210, 240}}, {{110, 90, 200, 300}}},
        {"top edge is inside", {{150, 400}, {150, 390}}, {{100, 90, 200, 300}}},
        {"bottom edge is outside", {{150, 100}, {150, 90}}, kCrop},
        // Stopped at the right edge and at the origin, it follows the pointer back from there.
        {"move clamped",
         {{200, 200}, {400, 200}, {350, 150}, {-500, -500}, {-490, -480}},
         {{10, 20, 200, 300}}},
        {"resize clamped", {{300, 400}, {600, 700}}, {{100, 100, 300, 400}}},
        {"resize clamped at 0", {{100, 100}, {-50, -50}}, {{0, 0, 300, 400}}},
        {"zero width stays", {{300, 100}, {100, 100}}, {{100, 100, 0, 300}}},
        {"right past left", {{300, 250}, {50, 250}, {20, 250}}, {{20, 100, 80, 300}}},
        {"corner past corner", {{100, 100}, {350, 450}, {360, 460}}, {{300, 400, 60, 60}}},
        {"pushed in", {{370, 100}, {371, 100}}, {{300, 60, 100, 120}}, {350, 60, 100, 120}},
        {"off view", {{200, 200}, {700, 200}}, {{600, 100, 200, 300}}, kCrop, OffView},
        {"lock fits", {{30, 30}, {30, 30}}, {{100, 100, 600, 300}}, kCrop, Lock | OffView},
        // Locked, handle 8 lets the height lead, handle 1 keeps the top edge where it was.
        {"lock 8", {{200, 150}, {300, 200}}, {{100, 100, 200, 100}}, {100, 100, 100, 50}, Lock},
        {"lock 1", {{100, 100}, {0, 100}}, {{0, 50, 300, 150}}, {100, 100, 200, 100}, Lock},
        {"lock clamps", {{300, 200}, {400, 500}}, {{0, 50, 400, 200}}, {0, 50, 300, 150}, Lock},
        {"read only", {{300, 400}, {350, 450}}, std::nullopt, kCrop, ReadOnly},
    };
    for (const auto& [name, path, reported, start, options] : cases) {
        SCOPED_TRACE(name);
        SCSelectionBorder& marker = view.cropMarker();
        marker.setIsLockingAspectRatio(false);
        view.setPageImg(page, start, kFrame);
        EXPECT_EQ(marker.selectedRect(), start);
        marker.setAspectRatio({2, 1});
        marker.setIsLockingAspectRatio(options & Lock);
        marker.setDrawingOffView(options & OffView);
        view.setIsCanEdit(!(options & ReadOnly));
        delegate.crops.clear();
        drag(path);
        EXPECT_EQ(delegate.crops, reported ? std::vector{*reported} : std::vector<QRectF>());
        EXPECT_EQ(marker.selectedRect(), reported.value_or(start));
    }
}

// Every handle and the body dragged out well past the view and back across the opposite edge:
// the marker stays in the view at every step, and going out grows until it meets the view.
TEST_F(PageViewTest, LockedRatioHoldsForEveryHandleAndTheBody) {
    const QRectF start(100, 100, 200, 100);
    SCSelectionBorder& marker = view.cropMarker();
    for (quint32 handle = 0; handle <= 8; ++handle) {
        SCOPED_TRACE(handle == 0 ? std::string("body") : "handle " + std::to_string(handle));
        marker.setIsLockingAspectRatio(false);
        view.setPageImg(page, start, kFrame);
        marker.setAspectRatio({2, 1});
        marker.setIsLockingAspectRatio(true);
        delegate.crops.clear();
        // Outward from the handle; the body goes up and to the right.
        const QPointF grab =
            handle == 0 ? start.center() : SCSelectionBorder::locationOfHandle(handle, start);
        const auto sign = [](double d) { return d < 0 ? -1.0 : d > 0 ? 1.0 : 0.0; };
        const QPointF out = handle == 0 ? QPointF(1, 1)
                                        : QPointF(sign(grab.x() - start.center().x()),
                                                  sign(grab.y() - start.center().y()));
        const auto expectLocked = [&](bool outward) {
            const QRectF r = marker.selectedRect();
            EXPECT_NEAR(r.width(), 2 * r.height(), 1e-9) << r.width() << " x " << r.height();
            EXPECT_TRUE(kFrame.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(r));
            // Going out, the edges the handle leaves stay where they were.
            const bool moving = outward && handle != 0;
            EXPECT_TRUE(!moving || out.x() >= 0 || std::abs(r.right() - start.right()) < 1e-9);
            EXPECT_TRUE(!moving || out.x() <= 0 || std::abs(r.left() - start.left()) < 1e-9);
            EXPECT_TRUE(!moving || out.y() >= 0 || std::abs(r.bottom() - start.bottom()) < 1e-9);
            EXPECT_TRUE(!moving || out.y() <= 0 || std::abs(r.top() - start.top()) < 1e-9);
        };
        mouse(QEvent::MouseButtonPress, grab);
        mouse(QEvent::MouseMove, grab + 40 * out);
        expectLocked(true);
        if (handle != 0) {
            EXPECT_GT(marker.selectedRect().width(), start.width());
        }
        mouse(QEvent::MouseMove, grab + 1000 * out);
        expectLocked(true);
        const QRectF far = marker.selectedRect();
        EXPECT_TRUE(std::abs(far.left()) < 1e-9 || std::abs(far.top()) < 1e-9 ||
                    std::abs(far.right() - kFrame.width()) < 1e-9 ||
                    std::abs(far.bottom() - kFrame.height()) < 1e-9)
            << far.x() << ", " << far.y() << ", " << far.width() << " x " << far.height();
        mouse(QEvent::MouseMove, grab - 250 * out);
        expectLocked(false);
        mouse(QEvent::MouseButtonRelease, grab - 250 * out);
        expectLocked(false);
        ASSERT_EQ(delegate.crops.size(), 1u);
        EXPECT_NEAR(delegate.crops[0].width(), 2 * delegate.crops[0].height(), 1e-9);
    }
}

// The marker as drawn: dimming outside, a clear inside, a dashed outline, and handles.
TEST_F(PageViewTest, DrawsDimmingDashesAndHandles) {
    QImage image = view.grab().toImage();
    EXPECT_NEAR(qGray(image.pixel(20, 480)), 179, 3); // white under black at alpha 0.3
    EXPECT_EQ(qGray(image.pixel(200, 250)), 255);
    // The top edge (widget y 100) alternates 5 dark and 5 light pixels.
    int dark = 0, light = 0;
    for (int x = 120; x < 180; ++x)
        (qGray(image.pixel(x, 100)) < 100 ? dark : light) += 1;
    EXPECT_GT(dark, 20);
    EXPECT_GT(light, 20);
    // Handle 7's square, centred on the top edge's middle, in the knob's grey.
    const QColor knob(0x9a, 0x9a, 0x9a);
    EXPECT_EQ(image.pixelColor(200, 103), knob);
    view.cropMarker().setIsDrawingHandles(false);
    EXPECT_NE(view.grab().toImage().pixelColor(200, 103), knob);

    // An empty rectangle is outlined, with nothing dimmed.
    view.setPageImg(page, QRectF(100, 100, 0, 300), kFrame);
    image = view.grab().toImage();
    EXPECT_EQ(qGray(image.pixel(20, 480)), 255);
    EXPECT_LT(qGray(image.pixel(100, 398)), 100);
}

} // namespace
