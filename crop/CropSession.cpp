#include "crop/CropSession.h"

#include "crop/CropGeometry.h"
#include "crop/CropRecords.h"
#include "crop/PageSelection.h"
#include "crop/RectMath.h"

#include <algorithm>

namespace {

// A record whose kept part covers at least this share of its page does not count as cropped.
constexpr double kUncroppedShare = 0.995;

constexpr PdfBox kWrittenBoxes[] = {PdfBox::Media, PdfBox::Crop, PdfBox::Bleed, PdfBox::Trim,
                                    PdfBox::Art};

} // namespace

CropSession::CropSession(std::unique_ptr<PdfDocument> document)
    : pdfDoc_(std::move(document)), originalPdfDoc_(pdfDoc_->copy()) {
    rebuildRecords();
}

void CropSession::rebuildRecords() {
    cropsRect_ = CropRecords::build(*pdfDoc_);
    setCurrentIndex(currentIndex_);
}

void CropSession::setCurrentIndex(qint64 index) {
    const auto last = static_cast<qint64>(cropsRect_.size()) - 1;
    currentIndex_ = std::clamp<qint64>(index, 0, std::max<qint64>(last, 0));
}

bool CropSession::unlockWithPassword(const QString& password) {
    if (!pdfDoc_->unlockWithPassword(password))
        return false;
    originalPdfDoc_->unlockWithPassword(password);
    return true;
}

const std::vector<qint64>& CropSession::pageRangeArray() {
    pageRangeArray_ = PageSelection::expand(cropPageTypeRangeArray_, cropsRect_);
    return pageRangeArray_;
}

QRectF CropSession::currentPageViewFrame() const {
    return CropGeometry::mainPDFImgViewShowRect(
        cropsRect_[static_cast<size_t>(currentIndex_)].pageRect);
}

bool CropSession::cropIsFinishedWithRect(const QRectF& rect) {
    if (cropsRect_.empty())
        return false;
    const QRectF frame = currentPageViewFrame();
    const QRectF viewRect =
        RectMath::exactlyEqual(rect, QRectF()) ? QRectF(QPointF(0, 0), frame.size()) : rect;
    RMCropInfo& current = cropsRect_[static_cast<size_t>(currentIndex_)];
    const QRectF crop =
        CropGeometry::displayRectFromViewRect(viewRect, current.pageRect, frame.size());
    current.showRect = viewRect;
    current.cropRect = crop;

    if (isBatchCrop_) {
        const QRectF sourcePage = current.pageRect;
        for (qint64 n : pageRangeArray()) {
            RMCropInfo& record = cropsRect_[static_cast<size_t>(n - 1)];
            if (RectMath::exactlyEqual(record.pageRect, sourcePage)) {
                record.showRect = viewRect;
                record.cropRect = crop;
            } else {
                record.cropRect = CropGeometry::fitCropRect(crop, sourcePage, record.pageRect);
            }
        }
    }
    return isCroppedSomePage();
}

bool CropSession::applyPageRangeSettingWithPageArray(const QStringList& selection) {
    cropPageTypeRangeArray_ = selection;
    pageRangeArray();
    if (cropsRect_.empty())
        return false;
    return cropIsFinishedWithRect(cropsRect_[static_cast<size_t>(currentIndex_)].showRect);
}

bool CropSession::isCroppedSomePage() const {
    return std::any_of(cropsRect_.begin(), cropsRect_.end(), [](const RMCropInfo& record) {
        const QRectF page(0, 0, record.pageRect.width(), record.pageRect.height());
        const auto kept = RectMath::intersection(page, record.cropRect);
        return kept && kept->height() > 0 && kept->width() > 0 &&
               page.height() * kUncroppedShare * page.width() > kept->width() * kept->height();
    });
}

void CropSession::writeRecords() {
    const int count = std::min<int>(pdfDoc_->pageCount(), static_cast<int>(cropsRect_.size()));
    for (int i = 0; i < count; ++i) {
        const RMCropInfo& record = cropsRect_[static_cast<size_t>(i)];
        // A crop dragged to the page's edge can come back a rounding error past it; the
        // media box is where the page ends.
        const QRectF box = CropGeometry::pageSpaceCropRect(record).intersected(
            pdfDoc_->boundsForBox(i, PdfBox::Media));
        // A crop with no area (a marker dragged to zero width, a batch crop that only
        // touches a smaller page) would give the page boxes no area, which readers replace
        // with a default paper size. Such a page keeps its whole crop box instead.
        const bool keepsNothing = !(record.cropRect.width() > 0 && record.cropRect.height() > 0) ||
                                  !(box.width() > 0 && box.height() > 0);
        for (PdfBox which : kWrittenBoxes)
            pdfDoc_->setBoundsForBox(i, keepsNothing ? record.originalPageRect : box, which);
    }
}

QByteArray CropSession::applyCropDocData() {
    writeRecords();
    return pdfDoc_->dataRepresentation();
}

QByteArray CropSession::currentDocData() const {
    return pdfDoc_->dataRepresentation();
}

void CropSession::done() {
    // Only the boxes matter here; making the bytes would cost a whole write for nothing.
    writeRecords();
    rebuildRecords();
}

void CropSession::revertAll() {
    pdfDoc_ = originalPdfDoc_->copy();
    rebuildRecords();
}
