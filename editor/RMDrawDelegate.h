#pragma once

#include <QRectF>

// Told by a page view when the user has finished dragging its crop marker.
class RMDrawDelegate {
public:
    virtual ~RMDrawDelegate() = default;
    // rect: the marker's rectangle in the page view's space (origin at the lower-left corner
    // of the shown page, y upward, points).
    virtual void cropIsFinishedWithRect(const QRectF& rect) = 0;
};
