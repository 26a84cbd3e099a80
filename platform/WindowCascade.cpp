#include "platform/WindowCascade.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

namespace {

// The step between windows: enough to show the title bar of the one beneath.
constexpr int kStep = 28;
// Room kept free around a new window for the frame the window manager draws.
constexpr int kFrameAllowance = 32;

bool taken(const QWidget* window, const QPoint& position) {
    for (const QWidget* other : QApplication::topLevelWidgets()) {
        if (other != window && other->isVisible() &&
            (other->pos() - position).manhattanLength() < kStep / 2)
            return true;
    }
    return false;
}

} // namespace

namespace WindowCascade {

QPoint place(const QWidget* window, const QSize& size, const QRect& available) {
    const QPoint centred = available.center() - QRect(QPoint(), size).center();
    QPoint position = centred;
    // Bounded, for a screen full of windows: the last place tried is as good as any.
    for (int steps = 0; steps < 64 && taken(window, position); ++steps) {
        position += QPoint(kStep, kStep);
        if (!available.contains(QRect(position, size)))
            position = available.topLeft();
    }
    return position;
}

void fitAndPlace(QWidget& window, const QSize& wanted) {
    const QRect available = window.screen()->availableGeometry();
    const QSize room = available.size() - QSize(kFrameAllowance, 2 * kFrameAllowance);
    window.resize(wanted.boundedTo(room).expandedTo(window.minimumSizeHint()));
    window.move(place(&window, window.size(), available));
}

} // namespace WindowCascade
