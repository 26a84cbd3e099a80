#pragma once

#include <QPointF>
#include <QWidget>

// Whether the pointer has just crossed a button's edge.
//
// While a mouse button is held on a widget, Qt holds back Enter and Leave and sends them
// only after the release. The buttons must know at once when the pointer leaves them during
// a press (leaving cancels the click), so they also follow the pointer through the positions
// of their press, move and release events. hover is what the button believes so far.
enum class PointerCrossing { None, Entered, Exited };

inline PointerCrossing pointerCrossing(const QWidget& widget, bool hover, const QPointF& position) {
    const bool inside = widget.rect().contains(position.toPoint());
    if (inside == hover)
        return PointerCrossing::None;
    return inside ? PointerCrossing::Entered : PointerCrossing::Exited;
}
