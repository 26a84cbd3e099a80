#pragma once

#include <QRectF>

#include <optional>

// Rectangle operations with the exact semantics the crop logic relies on. QRectF's own
// comparisons are fuzzy and its intersection treats touching rectangles as disjoint, so
// neither is used for crop decisions.
namespace RectMath {

// The common part of two rectangles (both with non-negative width and height). Rectangles
// that only touch along an edge give a rectangle of zero width or height; rectangles that do
// not meet at all give nothing.
std::optional<QRectF> intersection(const QRectF& a, const QRectF& b);

// Equal origin and size, compared exactly.
bool exactlyEqual(const QRectF& a, const QRectF& b);

// The same rectangle with non-negative width and height.
QRectF standardized(const QRectF& r);

} // namespace RectMath
