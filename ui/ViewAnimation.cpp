#include "ui/ViewAnimation.h"

#include <QPropertyAnimation>
#include <QWidget>

void ViewAnimation::startAnimation(QWidget* view, QPoint endPoint, int durationSeconds) {
    if (!view)
        return;
    if (durationSeconds <= 0) {
        view->move(endPoint);
        return;
    }
    auto* animation = new QPropertyAnimation(view, "pos", view);
    animation->setStartValue(view->pos());
    animation->setEndValue(endPoint);
    animation->setDuration(durationSeconds * 1000);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}
