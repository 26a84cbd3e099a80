#include "editor/SCSelectionBorder.h"

#include "editor/SCSelectionDelegate.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QRegion>
#include <QWidget>
#include <QtDebug>

#include <algorithm>
#include <cmath>

namespace {

// Colours of a handle: the square, and its shadow one point up and to the right.
const QColor kKnobColor(0x9a, 0x9a, 0x9a);
const QColor kHandleShadowColor(0x2a, 0x2a, 0x2a);

QRectF boundsOf(const QWidget* view) {
    return view ? QRectF(0, 0, view->width(), view->height()) : QRectF();
}

// How far the marker's drawing reaches either side of its outline: the handles with their
// shadow, the pen and the inner frame, and a pixel for rounding.
constexpr double kDrawingReach = 12.0;

// r (y up) in the widget coordinates (y down) of a view viewHeight high.
QRectF flipped(const QRectF& r, double viewHeight) {
    return QRectF(r.x(), viewHeight - r.y() - r.height(), r.width(), r.height());
}

// The pixels of view (widget coordinates) that show the outline and handles of r (y up).
QRegion outlineArea(const QRectF& r, double viewHeight) {
    const QRectF shown = flipped(r, viewHeight);
    const QRect outer = shown.adjusted(-kDrawingReach, -kDrawingReach, kDrawingReach, kDrawingReach)
                            .toAlignedRect();
    const QRectF inner =
        shown.adjusted(kDrawingReach, kDrawingReach, -kDrawingReach, -kDrawingReach);
    if (!(inner.width() > 0 && inner.height() > 0))
        return QRegion(outer);
    // Whole pixels wholly inside, so that nothing drawn is left out of the area.
    const QRect innerPixels(
        QPoint(static_cast<int>(std::ceil(inner.left())), static_cast<int>(std::ceil(inner.top()))),
        QPoint(static_cast<int>(std::floor(inner.right())) - 1,
               static_cast<int>(std::floor(inner.bottom())) - 1));
    return QRegion(outer).subtracted(QRegion(innerPixels));
}

// Left-right and top-bottom mirrors of each handle; 0 and the middles of the other axis
// stay as they are.
quint32 mirroredLeftRight(quint32 handle) {
    static const quint32 mirror[] = {0, 3, 2, 1, 5, 4, 8, 7, 6};
    return handle <= 8 ? mirror[handle] : handle;
}

quint32 mirroredTopBottom(quint32 handle) {
    static const quint32 mirror[] = {0, 6, 7, 8, 4, 5, 1, 2, 3};
    return handle <= 8 ? mirror[handle] : handle;
}

bool movesLeftEdge(quint32 h) {
    return h == 1 || h == 4 || h == 6;
}
bool movesRightEdge(quint32 h) {
    return h == 3 || h == 5 || h == 8;
}
bool movesBottomEdge(quint32 h) {
    return h == 1 || h == 2 || h == 3;
}
bool movesTopEdge(quint32 h) {
    return h == 6 || h == 7 || h == 8;
}

// Edges on device pixels, so handles stay crisp at any pixel density.
QRectF alignedToPixels(const QRectF& rect, qreal ratio) {
    auto snap = [ratio](double v) { return std::round(v * ratio) / ratio; };
    return QRectF(snap(rect.x()), snap(rect.y()), snap(rect.width()), snap(rect.height()));
}

// Along one axis of a resize with the aspect ratio locked, from low to high: the room the
// rectangle has in a view extent long, from the edge the handle leaves in place (or the whole
// view, where the handle moves neither edge and the rectangle keeps its middle)...
double lockedRoom(bool movesLow, bool movesHigh, double low, double high, double extent) {
    return movesLow ? high : movesHigh ? extent - low : extent;
}

// ...and where the rectangle, length long, starts: from that edge, or centred on the middle
// and moved over to stay in the view where extent is not negative.
double lockedStart(bool movesLow, bool movesHigh, double low, double high, double length,
                   double extent) {
    if (movesLow)
        return high - length;
    if (movesHigh)
        return low;
    const double start = (low + high) / 2 - length / 2;
    return extent < 0 ? start : std::max(0.0, std::min(start, extent - length));
}

} // namespace

SCSelectionBorder::SCSelectionBorder(QObject* parent) : QObject(parent) {
    setColors(QGuiApplication::palette().color(QPalette::Highlight));
}

void SCSelectionBorder::setColors(const QColor& color) {
    borderColor_ = color;
    fillColor_ = color;
    fillColor_.setAlphaF(0.3f);
}

void SCSelectionBorder::setIsLockingAspectRatio(bool lock) {
    lockingAspectRatio_ = lock;
    if (lock)
        selectedRect_ = frameRectForGraphicBounds(selectedRect_, true);
    emit isLockingAspectRatioChanged(lock);
}

QPainterPath SCSelectionBorder::bezierPathForDrawing() const {
    QPainterPath path;
    path.addRect(selectedRect_);
    return path;
}

void SCSelectionBorder::drawContentInView(QPainter& painter, const QWidget* view) const {
    painter.save();
    // The marker thinks in y-up coordinates; the widget's painter counts y downward.
    const QRectF bounds = boundsOf(view);
    painter.translate(0, bounds.height());
    painter.scale(1, -1);

    if (drawingFill_ && selectedRect_.width() > 0 && selectedRect_.height() > 0) {
        QPainterPath outside;
        outside.addRect(bounds.adjusted(1, 1, -1, -1));
        outside.addRect(selectedRect_);
        outside.setFillRule(Qt::OddEvenFill);
        painter.fillPath(outside, fillColor_);
        // A one-point frame just inside the rectangle, in the dimming colour.
        const QRectF& r = selectedRect_;
        painter.fillRect(QRectF(r.left(), r.top(), r.width(), 1), fillColor_);
        painter.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), fillColor_);
        painter.fillRect(QRectF(r.left(), r.top() + 1, 1, std::max(0.0, r.height() - 2)),
                         fillColor_);
        painter.fillRect(QRectF(r.right() - 1, r.top() + 1, 1, std::max(0.0, r.height() - 2)),
                         fillColor_);
    }

    QPen pen(borderColor_, borderWidth_);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    // Qt counts dashes in pen widths and needs an even count: 8, 3, 8 repeated twice is the
    // same line as the three entries taken in turn as on and off.
    const double unit = borderWidth_ > 0 ? borderWidth_ : 1.0;
    if (dashStyle_ == 1)
        pen.setDashPattern({5 / unit, 5 / unit});
    else if (dashStyle_ == 2)
        pen.setDashPattern({8 / unit, 3 / unit, 8 / unit, 8 / unit, 3 / unit, 8 / unit});
    painter.strokePath(bezierPathForDrawing(), pen);

    if (isDrawingHandles_ && drawingHandles_)
        drawHandlesInView(painter, view);
    painter.restore();
}

void SCSelectionBorder::drawHandlesInView(QPainter& painter, const QWidget* view) const {
    static const quint32 all[] = {1, 2, 3, 4, 5, 6, 7, 8};
    static const quint32 corners[] = {1, 3, 6, 8};
    if (lockingAspectRatio_) {
        for (quint32 h : corners)
            drawHandleInView(painter, view, locationOfHandle(h, selectedRect_));
    } else {
        for (quint32 h : all)
            drawHandleInView(painter, view, locationOfHandle(h, selectedRect_));
    }
}

void SCSelectionBorder::drawHandleInView(QPainter& painter, const QWidget* view,
                                         const QPointF& point) const {
    const QRectF square =
        alignedToPixels(QRectF(point.x() - kHandleHalfSide, point.y() - kHandleHalfSide,
                               2 * kHandleHalfSide, 2 * kHandleHalfSide),
                        view ? view->devicePixelRatioF() : 1.0);
    painter.fillRect(square.translated(1, 1), kHandleShadowColor);
    painter.fillRect(square, kKnobColor);
}

QPointF SCSelectionBorder::locationOfHandle(quint32 handle, const QRectF& r) {
    const double x = r.x(), y = r.y(), w = r.width(), h = r.height();
    switch (handle) {
    case 1:
        return {x, y};
    case 2:
        return {x + w * 0.5, y};
    case 3:
        return {x + w, y};
    case 4:
        return {x, y + h * 0.5};
    case 5:
        return {x + w, y + h * 0.5};
    case 6:
        return {x, y + h};
    case 7:
        return {x + w * 0.5, y + h};
    case 8:
        return {x + w, y + h};
    default:
        qWarning("Unknown handle");
        return {0, 0};
    }
}

bool SCSelectionBorder::isPointWithinHandleAtPoint(const QPointF& p, const QPointF& h) {
    return p.x() >= h.x() - kHandleHalfSide && p.x() < h.x() + kHandleHalfSide &&
           p.y() >= h.y() - kHandleHalfSide && p.y() < h.y() + kHandleHalfSide;
}

bool SCSelectionBorder::isPointWithinHandle(const QPointF& point, quint32 handle,
                                            const QRectF& rect) {
    return isPointWithinHandleAtPoint(point, locationOfHandle(handle, rect));
}

quint32 SCSelectionBorder::handleAtPoint(const QPointF& point, const QRectF& rect) {
    for (quint32 h = 1; h <= 8; ++h) {
        if (isPointWithinHandle(point, h, rect))
            return h;
    }
    return kNoHandle;
}

bool SCSelectionBorder::mouseIsInFrame(const QPointF& p, const QRectF& frame,
                                       quint32* handle) const {
    if (handle)
        *handle = handleAtPoint(p, selectedRect_);
    return p.x() >= frame.left() && p.x() < frame.left() + frame.width() && p.y() > frame.top() &&
           p.y() <= frame.top() + frame.height();
}

void SCSelectionBorder::selectAndTrackMouse(const QPointF& point, QWidget* view) {
    if (isTracking())
        endTracking(view); // a press without its release: the earlier drag ends first
    quint32 handle = kNoHandle;
    const bool inside = mouseIsInFrame(point, selectedRect_, &handle);
    rectAtPress_ = selectedRect_;
    lastPoint_ = point;
    if (inside && handle == kNoHandle) {
        tracking_ = Tracking::Move;
        drawingHandles_ = false;
        if (view)
            view->update();
    } else {
        tracking_ = Tracking::Resize;
        trackedHandle_ = handle;
    }
}

void SCSelectionBorder::trackMouse(const QPointF& point, QWidget* view) {
    if (tracking_ == Tracking::Move) {
        if (point != lastPoint_) {
            const QRectF before = selectedRect_;
            translateBy(point.x() - lastPoint_.x(), point.y() - lastPoint_.y(), view);
            updateChangedArea(view, before);
            lastPoint_ = point;
        }
    } else if (tracking_ == Tracking::Resize) {
        trackedHandle_ = resizeByMovingHandle(trackedHandle_, point, view);
    }
}

void SCSelectionBorder::finishTracking(const QPointF& point, QWidget* view) {
    if (!isTracking())
        return;
    trackMouse(point, view);
    endTracking(view);
}

void SCSelectionBorder::cancelTracking(QWidget* view) {
    if (!isTracking())
        return;
    selectedRect_ = rectAtPress_;
    endTracking(view);
}

void SCSelectionBorder::endTracking(QWidget* view) {
    tracking_ = Tracking::None;
    trackedHandle_ = kNoHandle;
    drawingHandles_ = true;
    if (view)
        view->update();
    if (selectionDelegate_)
        selectionDelegate_->resizeDidEnd();
}

void SCSelectionBorder::translateBy(double dx, double dy, QWidget* view) {
    QRectF r = selectedRect_.translated(dx, dy);
    if (!drawingOffView_) {
        const QSizeF size = boundsOf(view).size();
        if (r.x() < 0)
            r.moveLeft(0);
        if (r.y() < 0)
            r.moveTop(0);
        if (r.x() + r.width() > size.width())
            r.moveLeft(size.width() - r.width());
        if (r.y() + r.height() > size.height())
            r.moveTop(size.height() - r.height());
    }
    selectedRect_ = r;
}

quint32 SCSelectionBorder::resizeByMovingHandle(quint32 handle, const QPointF& point,
                                                QWidget* view) {
    // QRectF's top() is its minimum y, which in these unflipped coordinates is the bottom.
    double x = selectedRect_.x(), y = selectedRect_.y();
    double w = selectedRect_.width(), h = selectedRect_.height();
    QPointF q = point;
    if (!drawingOffView_) {
        const QRectF bounds = boundsOf(view);
        q.setX(std::min(bounds.right(), std::max(0.0, q.x())));
        q.setY(std::min(bounds.bottom(), std::max(0.0, q.y())));
    }
    if (movesLeftEdge(handle)) {
        w = x + w - q.x();
        x = q.x();
    } else if (movesRightEdge(handle)) {
        w = q.x() - x;
    }
    if (w < 0) {
        handle = mirroredLeftRight(handle);
        w = -w;
        x = x - w;
    }
    if (movesBottomEdge(handle)) {
        h = y + h - q.y();
        y = q.y();
    } else if (movesTopEdge(handle)) {
        h = q.y() - y;
    }
    if (h < 0) {
        handle = mirroredTopBottom(handle);
        h = -h;
        y = y - h;
    }
    const QRectF before = selectedRect_;
    selectedRect_ =
        frameRectForGraphicBounds(QRectF(x, y, w, h), lockingAspectRatio_, handle, view);
    updateChangedArea(view, before);
    return handle;
}

void SCSelectionBorder::updateChangedArea(QWidget* view, const QRectF& before) const {
    if (!view)
        return;
    // A large page is redrawn only where the drawing changed: the old and new outlines and
    // the strips that went into or out of the dimming. A whole 2800-pixel page per pointer
    // event would be too slow for the drag to follow the pointer.
    const double height = view->height();
    auto area = [height](const QRectF& r) { return QRegion(flipped(r, height).toAlignedRect()); };
    view->update(outlineArea(before, height)
                     .united(outlineArea(selectedRect_, height))
                     .united(area(before).xored(area(selectedRect_))));
}

QRectF SCSelectionBorder::frameRectForGraphicBounds(const QRectF& rect, bool locked) const {
    if (!locked)
        return rect;
    const double ratio = aspectRatio_.width() / aspectRatio_.height();
    return QRectF(rect.x(), rect.y(), rect.height() * ratio, rect.height());
}

QRectF SCSelectionBorder::frameRectForGraphicBounds(const QRectF& rect, bool locked, quint32 handle,
                                                    const QWidget* view) const {
    const double ratio = aspectRatio_.width() / aspectRatio_.height();
    if (!locked || !(ratio > 0 && std::isfinite(ratio)))
        return rect;
    const bool left = movesLeftEdge(handle), right = movesRightEdge(handle);
    const bool bottom = movesBottomEdge(handle), top = movesTopEdge(handle);
    // A corner follows whichever side the pointer pushed further, so the pointer stays on
    // the rectangle's edge; an edge handle sets its own side and the other follows, centred.
    double w = rect.width(), h = rect.height();
    if ((left || right) && (bottom || top)) {
        if (w > h * ratio)
            h = w / ratio;
        else
            w = h * ratio;
    } else if (left || right) {
        h = w / ratio;
    } else if (bottom || top) {
        w = h * ratio;
    } else {
        return rect;
    }
    // A negative extent lets the rectangle reach outside the view.
    const QSizeF bounds = drawingOffView_ ? QSizeF(-1, -1) : boundsOf(view).size();
    if (!drawingOffView_) {
        const double roomW = lockedRoom(left, right, rect.left(), rect.right(), bounds.width());
        const double roomH = lockedRoom(bottom, top, rect.top(), rect.bottom(), bounds.height());
        if (w > roomW) {
            w = std::max(0.0, roomW);
            h = w / ratio;
        }
        if (h > roomH) {
            h = std::max(0.0, roomH);
            w = h * ratio;
        }
    }
    // QRectF's top() is its least y: in these unflipped coordinates, the bottom edge.
    return QRectF(lockedStart(left, right, rect.left(), rect.right(), w, bounds.width()),
                  lockedStart(bottom, top, rect.top(), rect.bottom(), h, bounds.height()), w, h);
}
