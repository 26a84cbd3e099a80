#pragma once

#include <QByteArray>
#include <QRectF>

// Page boxes as PDF text: "[x0 y0 x1 y1]", whole numbers as integers and others with up to six
// decimals (a millionth of a point). Formatted here rather than by qpdf, whose stream-based
// formatting is slow enough to show when every box of thousands of pages is written.
namespace PdfBoxText {

QByteArray number(double value);
QByteArray array(const QRectF& box);

} // namespace PdfBoxText
