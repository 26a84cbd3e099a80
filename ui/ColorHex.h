#pragma once

#include <QColor>
#include <QtGlobal>

// Colours from packed integers, the form in which the style table and the windows write them.
//
// Bits 16-23 are red, 8-15 green, 0-7 blue; bits 24-31 are alpha where a function reads
// alpha from the integer (0xAARRGGBB) and are ignored otherwise. Each channel is its byte
// divided by 255, rounded to single precision, so the same integer always gives colours that
// compare equal, whichever function made them.
namespace ColorHex {

// Opaque colour from 0xRRGGBB.
QColor colorWithRGB(quint32 rgb);
// Colour from 0xRRGGBB with the given alpha (0 to 1).
QColor colorWithRGB(quint32 rgb, qreal alpha);
// Colour from 0xAARRGGBB.
QColor colorWithRGBA(quint32 argb);

} // namespace ColorHex
