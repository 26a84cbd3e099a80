#pragma once

#include "crop/PdfBox.h"

#include <QRectF>

class PdfDocument;

// A page of a document, as handed out by PdfDocument::pageAtIndex. A light handle: it reads
// and writes through its document, so box changes made on it stay in the document. Valid as
// long as the document lives.
class PdfPage {
public:
    PdfPage(PdfDocument* document, int index) : document_(document), index_(index) {}

    int index() const { return index_; }
    int rotation() const;
    QRectF boundsForBox(PdfBox box) const;
    void setBoundsForBox(const QRectF& bounds, PdfBox box);

private:
    PdfDocument* document_;
    int index_;
};
