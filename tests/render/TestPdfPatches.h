#pragma once

#include <QByteArray>
#include <QRectF>

// Page features that TestPdfBuilder does not write, added to a finished test PDF with qpdf.

// Gives page pageIndex a transparency group, which makes renderers composite it as a group.
QByteArray withTransparencyGroup(const QByteArray& pdf, int pageIndex);

// Adds to page pageIndex a square annotation over rect (page space) whose appearance fills
// the rectangle with black.
QByteArray withBlackSquareAnnotation(const QByteArray& pdf, int pageIndex, const QRectF& rect);
