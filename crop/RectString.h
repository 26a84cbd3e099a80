#pragma once

#include <QRectF>
#include <QString>

// Rectangles as text, in the form "{{x, y}, {width, height}}". The numbers are written with
// enough digits to give the same doubles when read.
namespace RectString {

QString fromRect(const QRectF& rect);

} // namespace RectString
