#include "editor/SCSelectionBorder.h"
#include "editor/SCSelectionDelegate.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <vector>

namespace {

struct CountingDelegate : SCSelectionDelegate {
    int ends = 0;
    void resizeDidEnd() override { ++ends; }
};

// A marker on a 400 x 500 host view with the rectangle (100, 100, 200, 300).
class MarkerTest : public testing::Test {
protected:
    MarkerTest() {
        host.resize(400, 500);
        marker.setSelectedRect(kRect);
        marker.setSelectionDelegate(&delegate);
    }

    // A whole press-drag-release through the given points (view coordinates).
    void drag(const std::vector<QPointF>& points) {
        marker.selectAndTrackMouse(points.front(), &host);
        for (size_t i = 1; i + 1 < points.size(); ++i)
            marker.trackMouse(points[i], &host);
        marker.finishTracking(points.back(), &host);
    }

    const QRectF kRect{100, 100, 200, 300};
    QWidget host;
    SCSelectionBorder marker;
    CountingDelegate delegate;
};

struct HitCase {
    const char* name;
    QRectF rect;
    QPointF point;
    quint32 handle;
    bool inside;
};

class HitTest : public testing::TestWithParam<HitCase> {};

TEST_P(HitTest, FindsTheLowestHandleAndTheBody) {
    const auto& c = GetParam();
    SCSelectionBorder marker;
    marker.setSelectedRect(c.rect);
    quint32 handle = 99;
    EXPECT_EQ(marker.mouseIsInFrame(c.point, c.rect, &handle), c.inside);
    EXPECT_EQ(handle, c.handle);
}

const QRectF kTall(100, 100, 200, 300);
const QRectF kFlat(100, 100, 200, 20);

INSTANTIATE_TEST_SUITE_P(Points, HitTest,
                         testing::Values(HitCase{"corner", kTall, {100, 100}, 1, false},
                                         HitCase{"eightOutside", kTall, {92, 100}, 1, false},
                                         HitCase{"pastTheSquare", kTall, {91.99, 100}, 0, false},
                                         HitCase{"squareIsHalfOpen", kTall, {308, 400}, 0, false},
                                         HitCase{"topRight", kTall, {307.9, 392}, 8, false},
                                         HitCase{"rightMiddle", kTall, {300, 250}, 5, false},
                                         HitCase{"overlapGoesToLowest", kFlat, {100, 104}, 1, true},
                                         HitCase{"body", kTall, {200, 250}, 0, true},
                                         HitCase{"bottomEdgeIsOut", kTall, {200, 100}, 2, false},
                                         HitCase{"topEdgeIsIn", kTall, {150, 400}, 0, true},
                                         HitCase{"dimmedArea", kTall, {30, 30}, 0, false}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(MarkerTest, ClickInsideOrInTheDimmedAreaChangesNothingButEndsOnce) {
    drag({{200, 250}, {200, 250}});
    drag({{30, 30}, {35, 40}, {30, 30}});
    EXPECT_EQ(marker.selectedRect(), kRect);
    EXPECT_EQ(delegate.ends, 2);
}

TEST_F(MarkerTest, RightHandleDraggedPastTheLeftEdgeBecomesTheLeftHandle) {
    marker.selectAndTrackMouse({300, 250}, &host);
    marker.trackMouse({50, 250}, &host);
    EXPECT_EQ(marker.selectedRect(), QRectF(50, 100, 50, 300));
    EXPECT_EQ(marker.trackedHandle(), 4u);
    marker.finishTracking({20, 250}, &host);
    EXPECT_EQ(marker.selectedRect(), QRectF(20, 100, 80, 300));
    EXPECT_EQ(delegate.ends, 1);
}

TEST_F(MarkerTest, CornerDraggedDiagonallyPastTheOppositeCornerBecomesIt) {
    marker.selectAndTrackMouse({100, 100}, &host);
    marker.trackMouse({350, 450}, &host);
    EXPECT_EQ(marker.trackedHandle(), 8u);
    EXPECT_EQ(marker.selectedRect(), QRectF(300, 400, 50, 50));
    marker.finishTracking({350, 450}, &host);
}

TEST_F(MarkerTest, MovesStopAtTheViewsEdgesAndFollowThePointerBack) {
    marker.selectAndTrackMouse({200, 200}, &host);
    EXPECT_FALSE(marker.drawingHandles());
    marker.trackMouse({400, 200}, &host);
    EXPECT_EQ(marker.selectedRect(), QRectF(200, 100, 200, 300));
    marker.trackMouse({350, 150}, &host);
    EXPECT_EQ(marker.selectedRect(), QRectF(150, 50, 200, 300));
    marker.finishTracking({-500, -500}, &host);
    EXPECT_EQ(marker.selectedRect(), QRectF(0, 0, 200, 300));
    EXPECT_TRUE(marker.drawingHandles());
}

TEST_F(MarkerTest, ResizesClampTheMovedEdgesToTheView) {
    drag({{300, 400}, {600, 700}});
    EXPECT_EQ(marker.selectedRect(), QRectF(100, 100, 300, 400));
    drag({{100, 100}, {-50, -50}});
    EXPECT_EQ(marker.selectedRect(), QRectF(0, 0, 400, 500));
}

TEST_F(MarkerTest, ZeroWidthStaysZero) {
    drag({{300, 100}, {100, 100}});
    EXPECT_EQ(marker.selectedRect(), QRectF(100, 100, 0, 300));
}

TEST_F(MarkerTest, OffViewMarkersAreNotClamped) {
    marker.setDrawingOffView(true);
    drag({{200, 200}, {700, 200}});
    EXPECT_EQ(marker.selectedRect(), QRectF(600, 100, 200, 300));
}

TEST_F(MarkerTest, CancelPutsTheRectangleBackAndStillEndsOnce) {
    marker.selectAndTrackMouse({300, 250}, &host);
    marker.trackMouse({350, 300}, &host);
    marker.cancelTracking(&host);
    EXPECT_EQ(marker.selectedRect(), kRect);
    EXPECT_FALSE(marker.isTracking());
    EXPECT_EQ(delegate.ends, 1);
}

TEST_F(MarkerTest, AspectLockKeepsTheRatio) {
    marker.setAspectRatio({2, 1});
    marker.setIsLockingAspectRatio(true);
    EXPECT_EQ(marker.selectedRect(), QRectF(100, 100, 600, 300));
    marker.setSelectedRect({100, 100, 100, 50});
    drag({{200, 150}, {300, 200}}); // handle 8: the height leads
    EXPECT_EQ(marker.selectedRect(), QRectF(100, 100, 200, 100));
    drag({{100, 100}, {0, 100}}); // handle 1 keeps the top edge
    EXPECT_EQ(marker.selectedRect(), QRectF(0, 50, 300, 150));
    drag({{300, 200}, {400, 500}}); // clamped to the view, ratio kept
    EXPECT_EQ(marker.selectedRect(), QRectF(0, 50, 400, 200));
}

TEST(MarkerHandleTest, UnknownHandleIsTheOrigin) {
    EXPECT_EQ(SCSelectionBorder::locationOfHandle(9, QRectF(1, 2, 3, 4)), QPointF(0, 0));
}

} // namespace
