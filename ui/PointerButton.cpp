#include "ui/PointerButton.h"

#include <QKeyEvent>
#include <QMouseEvent>

PointerButton::PointerButton(QWidget* parent) : QWidget(parent) {}

void PointerButton::enterEvent(QEnterEvent*) {
    if (!followsPointer() || (hover_ && ignoresRepeatedCrossings()))
        return;
    setHover(true);
}

void PointerButton::leaveEvent(QEvent*) {
    if (!hover_ && ignoresRepeatedCrossings())
        return;
    setHover(false);
}

void PointerButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    // A press is proof that the pointer is over the button, even if no Enter came first
    // (a window that opened under a still pointer, a touch screen).
    followPointer(event->position());
    pressDown();
}

void PointerButton::mouseMoveEvent(QMouseEvent* event) {
    followPointer(event->position());
}

void PointerButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    followPointer(event->position());
    release(hover_);
}

void PointerButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        spacePressed();
}

void PointerButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        spaceReleased();
}

void PointerButton::followPointer(const QPointF& position) {
    if (!followsPointer())
        return;
    const bool inside = rect().contains(position.toPoint());
    if (inside != hover_)
        setHover(inside);
}

void PointerButton::setHover(bool hover) {
    hover_ = hover;
    if (hover)
        pointerEntered();
    else
        pointerExited();
}
