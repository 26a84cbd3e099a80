#pragma once

#include <QRectF>
#include <QString>

// Rectangles as text, in the form "{{x, y}, {width, height}}". The numbers are written with
// enough digits that reading the text back gives the same doubles.
namespace RectString {

QString fromRect(const QRectF& rect);
// Reads the four numbers in order; text without four numbers gives the zero rectangle.
QRectF toRect(const QString& text);

} // namespace RectString
