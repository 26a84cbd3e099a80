#include "editor/RMPDFImgView.h"
#include "editor/RMDrawDelegate.h"

#include <gtest/gtest.h>

#include <QTest>

#include <vector>

namespace {

struct RecordingDelegate : RMDrawDelegate {
    std::vector<QRectF> crops;
    void cropIsFinishedWithRect(const QRectF& rect) override { crops.push_back(rect); }
};

// A 200 x 300 page view showing a white page with the crop (50, 60, 100, 120).
class PageViewTest : public testing::Test {
protected:
    PageViewTest() {
        view.resize(200, 300);
        QImage page(200, 300, QImage::Format_RGB32);
        page.fill(Qt::white);
        view.setPageImg(page, kCrop, QRectF(0, 0, 200, 300));
        view.setIsCanEdit(true);
        view.setDelegate(&delegate);
    }

    // Widgets count y downward from the top; the view counts it upward from the bottom.
    QPoint at(double x, double y) const { return QPoint(int(x), int(view.height() - y)); }

    void press(double x, double y) { QTest::mousePress(&view, Qt::LeftButton, {}, at(x, y)); }
    void moveTo(double x, double y) {
        QMouseEvent move(QEvent::MouseMove, at(x, y), view.mapToGlobal(at(x, y)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
    }
    void release(double x, double y) { QTest::mouseRelease(&view, Qt::LeftButton, {}, at(x, y)); }

    QImage rendered() {
        QImage image(view.size(), QImage::Format_RGB32);
        view.render(&image);
        return image;
    }

    const QRectF kCrop{50, 60, 100, 120};
    RMPDFImgView view;
    RecordingDelegate delegate;
};

TEST_F(PageViewTest, ADragReportsTheMarkersRectangleOnceInViewSpace) {
    press(150, 180); // handle 8
    moveTo(170, 200);
    moveTo(180, 250);
    EXPECT_TRUE(delegate.crops.empty());
    release(180, 250);
    ASSERT_EQ(delegate.crops.size(), 1u);
    EXPECT_EQ(delegate.crops[0], QRectF(50, 60, 130, 190));
    EXPECT_EQ(view.cropMarker().selectedRect(), delegate.crops[0]);
}

TEST_F(PageViewTest, ClicksReportOnceEvenWhenNothingChanges) {
    press(100, 100);
    release(100, 100);
    press(10, 10);
    release(10, 10);
    ASSERT_EQ(delegate.crops.size(), 2u);
    EXPECT_EQ(delegate.crops[0], kCrop);
    EXPECT_EQ(delegate.crops[1], kCrop);
}

TEST_F(PageViewTest, EscapeDuringADragPutsTheMarkerBackAndReportsOnce) {
    press(100, 100);
    moveTo(120, 130);
    QTest::keyClick(&view, Qt::Key_Escape);
    release(120, 130);
    ASSERT_EQ(delegate.crops.size(), 1u);
    EXPECT_EQ(delegate.crops[0], kCrop);
}

TEST_F(PageViewTest, AViewThatCannotEditIgnoresPresses) {
    view.setIsCanEdit(false);
    press(150, 180);
    moveTo(180, 250);
    release(180, 250);
    EXPECT_TRUE(delegate.crops.empty());
    EXPECT_EQ(view.cropMarker().selectedRect(), kCrop);
}

TEST_F(PageViewTest, ACropReachingOutsideIsShownAsGivenAndAMovePushesItBack) {
    view.setPageImg(QImage(), QRectF(150, 60, 100, 120), QRectF());
    EXPECT_EQ(view.cropMarker().selectedRect(), QRectF(150, 60, 100, 120));
    press(170, 100);
    release(171, 100);
    EXPECT_EQ(delegate.crops.back(), QRectF(100, 60, 100, 120));
}

// The marker as drawn: dimming outside, a clear inside, a dashed outline, and handles.
TEST_F(PageViewTest, DrawsDimmingDashesAndHandles) {
    const QImage image = rendered();
    const int dimmed = qGray(image.pixel(20, 20));
    EXPECT_NEAR(dimmed, 179, 3); // white under black at alpha 0.3
    EXPECT_EQ(qGray(image.pixel(100, 150)), 255);
    // The top edge (view y 180, widget y 120) alternates 5 dark and 5 light pixels.
    int dark = 0, light = 0;
    for (int x = 70; x < 130; ++x)
        (qGray(image.pixel(x, 120)) < 100 ? dark : light) += 1;
    EXPECT_GT(dark, 20);
    EXPECT_GT(light, 20);
    // Handle 7's square (centred on view (100, 180)) in the knob's grey.
    EXPECT_EQ(image.pixelColor(100, 123), QColor(0x9a, 0x9a, 0x9a));

    view.cropMarker().setIsDrawingHandles(false);
    EXPECT_NE(rendered().pixelColor(100, 123), QColor(0x9a, 0x9a, 0x9a));
}

TEST_F(PageViewTest, AnEmptyRectangleIsOutlinedWithoutDimming) {
    view.setPageImg(QImage(), QRectF(50, 60, 0, 120), QRectF());
    view.cropMarker().setIsDrawingHandles(false);
    const QImage image = rendered();
    EXPECT_EQ(qGray(image.pixel(20, 20)), 255);
    EXPECT_LT(qGray(image.pixel(50, 300 - 62)), 100);
}

} // namespace
