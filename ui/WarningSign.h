#pragma once

#include <QPixmap>
#include <QRectF>

class QPainter;

// The warning sign: an amber triangle with an exclamation mark, for pages that cannot be shown
// and crops that cut through content.
namespace WarningSign {

// Draws the sign filling box (its height about 0.9 of its width).
void draw(QPainter& painter, const QRectF& box);
// The sign alone, side logical pixels wide, sharp at devicePixelRatio.
QPixmap pixmap(int side, qreal devicePixelRatio);

} // namespace WarningSign
