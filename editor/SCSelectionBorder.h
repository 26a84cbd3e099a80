#pragma once

#include <QColor>
#include <QObject>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

class QPainter;
class QWidget;
class SCSelectionDelegate;

// The crop rectangle a user drags on a page: one rectangle in the coordinates of a host view,
// with a body to move and eight handles to resize it by.
//
// Coordinates are the host view's, unflipped: origin at the lower-left corner, y upward, in
// points. (Qt widgets count y downward; the host converts pointer positions before handing
// them over, and drawContentInView turns the painter.) The host view's size is the area
// that moves and resizes stay in.
//
// A drag runs as press (selectAndTrackMouse), drags (trackMouse) and release
// (finishTracking); every press ends in exactly one resizeDidEnd to the delegate, also when
// nothing changed. Handles are numbered 1 to 8, bottom row first, left to right:
//
//     6   7   8
//     4       5
//     1   2   3
//
// GUI thread only.
class SCSelectionBorder : public QObject {
    Q_OBJECT

public:
    static constexpr quint32 kNoHandle = 0;
    // Half the side of a handle's square, which is both drawn and sensitive.
    static constexpr double kHandleHalfSide = 8.0;

    explicit SCSelectionBorder(QObject* parent = nullptr);

    QRectF selectedRect() const { return selectedRect_; }
    void setSelectedRect(const QRectF& rect) { selectedRect_ = rect; }
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor& color) { borderColor_ = color; }
    QColor fillColor() const { return fillColor_; }
    void setFillColor(const QColor& color) { fillColor_ = color; }
    // The outline in color, the dimming outside the rectangle in color at alpha 0.3.
    void setColors(const QColor& color);
    double borderWidth() const { return borderWidth_; }
    void setBorderWidth(double width) { borderWidth_ = width; }
    // 1: dashes 5 on, 5 off; 2: 8, 3, 8; anything else: a solid line.
    qint64 dashStyle() const { return dashStyle_; }
    void setDashStyle(qint64 style) { dashStyle_ = style; }
    bool isDrawingFill() const { return drawingFill_; }
    void setDrawingFill(bool fill) { drawingFill_ = fill; }
    bool isDrawingHandles() const { return isDrawingHandles_; }
    void setIsDrawingHandles(bool draw) { isDrawingHandles_ = draw; }
    // False while a move is under way: handles are hidden then.
    bool drawingHandles() const { return drawingHandles_; }
    bool canDrawOffView() const { return drawingOffView_; }
    void setDrawingOffView(bool offView) { drawingOffView_ = offView; }
    bool isLockingAspectRatio() const { return lockingAspectRatio_; }
    // Switching the lock on makes the width fit the height at once.
    void setIsLockingAspectRatio(bool lock);
    QSizeF aspectRatio() const { return aspectRatio_; }
    void setAspectRatio(const QSizeF& ratio) { aspectRatio_ = ratio; }
    // Not owned; must outlive the marker or be reset first.
    void setSelectionDelegate(SCSelectionDelegate* delegate) { selectionDelegate_ = delegate; }

    // Drawing, into the host view's painter (which counts y downward, as Qt does).
    void drawContentInView(QPainter& painter, const QWidget* view) const;
    void drawHandlesInView(QPainter& painter, const QWidget* view) const;
    void drawHandleInView(QPainter& painter, const QWidget* view, const QPointF& point) const;
    // The outline: selectedRect as a path.
    QPainterPath bezierPathForDrawing() const;

    // Hit testing.
    static QPointF locationOfHandle(quint32 handle, const QRectF& rect);
    static bool isPointWithinHandleAtPoint(const QPointF& point, const QPointF& handlePoint);
    static bool isPointWithinHandle(const QPointF& point, quint32 handle, const QRectF& rect);
    // The lowest-numbered handle whose square holds point, or kNoHandle.
    static quint32 handleAtPoint(const QPointF& point, const QRectF& rect);
    // Whether point lies inside frame, as an unflipped view tests a pointer (left and top
    // edges in, right and bottom edges out); when handle is given, also the handle there.
    bool mouseIsInFrame(const QPointF& point, const QRectF& frame, quint32* handle) const;

    // A drag: press, any number of drags, then a release, or a cancellation that puts the
    // rectangle back where the press found it. Points are in the host view's coordinates.
    void selectAndTrackMouse(const QPointF& point, QWidget* view);
    void trackMouse(const QPointF& point, QWidget* view);
    void finishTracking(const QPointF& point, QWidget* view);
    void cancelTracking(QWidget* view);
    bool isTracking() const { return tracking_ != Tracking::None; }
    // The handle a resize is dragging now (it changes when an edge is crossed), or
    // kNoHandle; for the pointer's shape.
    quint32 trackedHandle() const { return trackedHandle_; }
    bool isMoving() const { return tracking_ == Tracking::Move; }

    // One step of a move or a resize.
    void translateBy(double dx, double dy, QWidget* view);
    // Moves the edges of handle to point and returns the handle under the pointer after it.
    quint32 resizeByMovingHandle(quint32 handle, const QPointF& point, QWidget* view);

    // The aspect-ratio lock's adjustment; rect unchanged when locked is false.
    QRectF frameRectForGraphicBounds(const QRectF& rect, bool locked) const;
    // The same for a resize by handle: rect, with the handle's edges where the pointer put
    // them, brought to the ratio. A corner follows the side pushed further, an edge handle
    // its own side with the other centred; the edges the handle does not move stay, and
    // unless the marker may be drawn off the view, it is made smaller, keeping the ratio,
    // where it would leave the view.
    QRectF frameRectForGraphicBounds(const QRectF& rect, bool locked, quint32 handle,
                                     const QWidget* view) const;

signals:
    void isLockingAspectRatioChanged(bool locked);

private:
    enum class Tracking { None, Move, Resize };

    void endTracking(QWidget* view);
    // Asks view to redraw what changed since the rectangle was before.
    void updateChangedArea(QWidget* view, const QRectF& before) const;

    QRectF selectedRect_;
    QColor borderColor_;
    QColor fillColor_;
    double borderWidth_ = 1.0;
    qint64 dashStyle_ = 1;
    bool drawingFill_ = true;
    bool isDrawingHandles_ = true;
    bool drawingHandles_ = true;
    bool drawingOffView_ = false;
    bool lockingAspectRatio_ = false;
    QSizeF aspectRatio_{1.0, 1.0};
    SCSelectionDelegate* selectionDelegate_ = nullptr;

    Tracking tracking_ = Tracking::None;
    quint32 trackedHandle_ = kNoHandle;
    QPointF lastPoint_;
    QRectF rectAtPress_;
};
