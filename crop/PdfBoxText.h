#pragma once

#include "crop/PdfBox.h"

#include <QByteArray>
#include <QRectF>

#include <array>

// Page boxes as PDF text: "[x0 y0 x1 y1]", whole numbers as integers and others with up to six
// decimals (a millionth of a point). Formatted here rather than by qpdf, whose stream-based
// formatting is slow enough to show when every box of thousands of pages is written.
namespace PdfBoxText {

QByteArray number(double value);
QByteArray array(const QRectF& box);
// A page's five boxes, each as array() writes it; a box equal to the one before it, as all
// five are once a page is cropped, is formatted once.
std::array<QByteArray, kPdfBoxCount> arrays(const std::array<QRectF, kPdfBoxCount>& boxes);
// Whether two pages' five boxes are written alike: equal to within what the text can tell.
bool sameArrays(const std::array<QRectF, kPdfBoxCount>& a,
                const std::array<QRectF, kPdfBoxCount>& b);

} // namespace PdfBoxText
