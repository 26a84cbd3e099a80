#pragma once

#include <QSize>
#include <QSizeF>

// How large the page view shows its page: fitted to the page area, whole ("Fit Page", as the
// window opens) or across its width ("Fit Width"), or at a scale of the page's printed size,
// where 1 is "Actual Size". Zooming in and out steps from the scale shown now to the next
// on a ladder of the scales people pick (50%, 100%, 200%…), so that a few presses reach any
// of them from a fitted page.
//
// Pure; any thread.
class PageZoom {
public:
    enum class Fit { Page, Width, Scale };

    // The smallest and largest scales.
    static constexpr double kMinimumScale = 0.1;
    static constexpr double kMaximumScale = 16.0;

    Fit fit() const { return fit_; }
    // The scale chosen; for a fitted page, the one it was last given.
    double scale() const { return scale_; }

    void fitPage() { fit_ = Fit::Page; }
    void fitWidth() { fit_ = Fit::Width; }
    // The scale, within the smallest and largest.
    void setScale(double scale);
    // The next scale of the ladder above, or below, shown: the scale the page is shown at now.
    void zoomIn(double shown);
    void zoomOut(double shown);

    // The page view's size, in pixels, for a page of page points (as displayed, turned) shown
    // at Actual Size at pixelsPerPoint, in an area of area pixels; fitPage is the size the
    // page has when fitted whole. The width of a fitted page leaves room for a vertical scroll
    // bar of scrollBar pixels when its height needs one.
    QSize viewSize(const QSizeF& page, double pixelsPerPoint, const QSize& area,
                   const QSize& fitPage, int scrollBar) const;

private:
    Fit fit_ = Fit::Page;
    double scale_ = 1.0;
};
