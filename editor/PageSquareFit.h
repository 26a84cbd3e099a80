#pragma once

#include <QRect>
#include <QRectF>
#include <QSizeF>

// The square of view space, in which the page view shows a whole page, fitted into an area
// of the window: as large as the area allows and centred in it. One scale turns view units
// into the area's pixels, so the page grows and shrinks with the window while every crop
// keeps its view-space values.
class PageSquareFit {
public:
    explicit PageSquareFit(const QSizeF& area);

    // The page view's frame in the area's widget coordinates (y down) for a page shown at
    // showRect (view space, y up), on whole pixels.
    QRect frameForShowRect(const QRectF& showRect) const;

private:
    // Pixels per view unit; never zero, so a collapsed area still maps back.
    double scale_;
    QRectF square_;
};
