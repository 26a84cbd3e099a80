#pragma once

#include <QPoint>

class QWidget;

// Moves views to new places.
class ViewAnimation {
public:
    ViewAnimation() = delete;

    // Moves view's top-left corner to endPoint over durationSeconds, keeping its size; at once
    // for a duration of 0 or less. The animation runs without blocking and owns itself. A null
    // view is ignored.
    static void startAnimation(QWidget* view, QPoint endPoint, int durationSeconds);
};
