#pragma once

#include <QObject>
#include <QPoint>

#include <optional>

class QScrollArea;
class QWidget;

// The pointer's ways about a zoomed page: Ctrl with the wheel, and a touchpad's pinch, zoom
// around the pointer; the middle button, or the left one with Space held down while the page
// has the keyboard focus, drags the page about in its area, which the scroll bars and the
// wheel also do.
//
// GUI thread only.
class PageGestures : public QObject {
    Q_OBJECT

public:
    // Watches view, inside the scroll area's widget, and the area's viewport.
    PageGestures(QScrollArea& area, QWidget& view);

signals:
    // Zoom by factor, keeping the point at anchor (viewport pixels) in place.
    void zoomBy(double factor, const QPoint& anchor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Handles a key, a press, a move or a release of a drag of the page; true when it is one.
    bool pan(QEvent* event);

    QScrollArea& area_;
    QWidget& view_;
    bool spaceHeld_ = false;
    // Where the pointer was when last moved in a drag of the page (global pixels).
    std::optional<QPoint> panFrom_;
};
