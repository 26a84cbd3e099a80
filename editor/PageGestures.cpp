#include "editor/PageGestures.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace {

// A notch of the wheel (120 eighths of a degree) zooms by a fifth.
constexpr double kNotchFactor = 1.2;
constexpr double kEighthsPerNotch = 120.0;

} // namespace

PageGestures::PageGestures(QScrollArea& area, QWidget& view)
    : QObject(&area), area_(area), view_(view) {
    area_.viewport()->installEventFilter(this);
    view_.installEventFilter(this);
}

bool PageGestures::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = static_cast<QWidget*>(watched);
    const auto inViewport = [&](const QPointF& point) {
        return widget->mapTo(area_.viewport(), point).toPoint();
    };
    switch (event->type()) {
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier) || wheel->angleDelta().y() == 0)
            return false;
        emit zoomBy(std::pow(kNotchFactor, wheel->angleDelta().y() / kEighthsPerNotch),
                    inViewport(wheel->position()));
        return true;
    }
    case QEvent::NativeGesture: {
        auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() != Qt::ZoomNativeGesture)
            return false;
        emit zoomBy(1.0 + gesture->value(), inViewport(gesture->position()));
        return true;
    }
    default:
        return pan(event);
    }
}

bool PageGestures::pan(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Space || key->isAutoRepeat())
            return false;
        spaceHeld_ = event->type() == QEvent::KeyPress;
        if (spaceHeld_)
            view_.setCursor(Qt::OpenHandCursor);
        else if (!panFrom_)
            view_.unsetCursor();
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::MiddleButton &&
            !(mouse->button() == Qt::LeftButton && spaceHeld_))
            return false;
        panFrom_ = mouse->globalPosition().toPoint();
        view_.setCursor(Qt::ClosedHandCursor);
        return true;
    }
    case QEvent::MouseMove: {
        // With Space held, the pointer shows the hand that drags the page, not the marker's.
        if (!panFrom_)
            return spaceHeld_;
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        const QPoint moved = at - *panFrom_;
        panFrom_ = at;
        area_.horizontalScrollBar()->setValue(area_.horizontalScrollBar()->value() - moved.x());
        area_.verticalScrollBar()->setValue(area_.verticalScrollBar()->value() - moved.y());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!panFrom_)
            return false;
        panFrom_.reset();
        if (spaceHeld_)
            view_.setCursor(Qt::OpenHandCursor);
        else
            view_.unsetCursor();
        return true;
    }
    default:
        return false;
    }
}
