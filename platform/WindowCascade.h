#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a new document window goes: centred in the screen's free area, or, where another
// window of the program already stands at that place, moved down and to the right of it,
// step by step, so that no window hides another exactly. A window that would leave the free
// area starts again from its top-left corner.
//
// GUI thread only.
namespace WindowCascade {

// The position for window, of size, in the free area available; the program's other visible
// windows are the ones it steps away from.
QPoint place(const QWidget* window, const QSize& size, const QRect& available);
// Sizes window as wanted, wholly inside its screen's free area with room left for the frame
// the window manager draws, at any scale and never below its minimum size, and places it.
void fitAndPlace(QWidget& window, const QSize& wanted);

} // namespace WindowCascade
