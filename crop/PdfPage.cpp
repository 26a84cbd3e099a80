#include "crop/PdfPage.h"

#include "crop/PdfDocument.h"

int PdfPage::rotation() const {
    return document_->rotation(index_);
}

QRectF PdfPage::boundsForBox(PdfBox box) const {
    return document_->boundsForBox(index_, box);
}

void PdfPage::setBoundsForBox(const QRectF& bounds, PdfBox box) {
    document_->setBoundsForBox(index_, bounds, box);
}
