#include "crop/CropSession.h"

#include "crop/CropGeometry.h"
#include "crop/CropRecords.h"
#include "crop/CropSessionStep.h"
#include "crop/PageListText.h"
#include "crop/PageSelection.h"
#include "crop/PdfBoxText.h"
#include "crop/RectMath.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// Boxes are written with six decimals: a crop edge closer than this to the page's edge gives
// the page the boxes it has.
constexpr double kSameEdge = 1e-6;

// Content reaching this close to a crop's edge is not cut by it: box numbers are written
// rounded, and measured bounds carry rounding of their own.
constexpr double kCutTolerance = 0.01;

// The smallest rectangle holding both, exactly (QRectF::united skips empty rectangles, such
// as the bounds of a single straight rule).
QRectF joined(const QRectF& a, const QRectF& b) {
    const double left = std::min(a.left(), b.left());
    const double top = std::min(a.top(), b.top());
    return QRectF(left, top, std::max(a.right(), b.right()) - left,
                  std::max(a.bottom(), b.bottom()) - top);
}

QRectF wholePage(const RMCropInfo& record) {
    return QRectF(0, 0, record.pageRect.width(), record.pageRect.height());
}

// Enough to go back a long way. A step holds the records it changed, before and after, so on a
// very large document a step that changes every page is large: the memory all steps may take
// at most bounds their number there.
constexpr int kMostSteps = 200;
constexpr int kFewestSteps = 20;
constexpr double kStepsBudgetBytes = 256.0 * 1024 * 1024;

int undoLimitFor(size_t pages) {
    const double largestStep =
        2.0 * sizeof(RMCropInfo) * static_cast<double>(std::max<size_t>(pages, 1));
    return static_cast<int>(
        std::clamp(kStepsBudgetBytes / largestStep, double(kFewestSteps), double(kMostSteps)));
}

// The narrowest a nudged edge leaves the crop, in points.
constexpr double kNarrowestNudged = 1.0;

QString tr(const char* text) {
    return QCoreApplication::translate("CropSession", text);
}

QString stepName(const char* verb, const std::vector<qint64>& pages) {
    return tr(verb).arg(PageListText::describe(pages));
}

// One direction of a nudge by d: the low edge, the high edge, or both (a move), of a crop at
// position with length on a page side long, clamped to the page and, for one edge, short of
// the other. The steps taken are added to the offsets.
void nudgeAxis(double d, bool low, bool high, double position, double length, double side,
               double& positionOffset, double& lengthOffset) {
    if (low && high) {
        positionOffset += std::clamp(d, -position, side - (position + length));
    } else if (low) {
        const double step = std::clamp(d, -position, std::max(0.0, length - kNarrowestNudged));
        positionOffset += step;
        lengthOffset -= step;
    } else if (high) {
        lengthOffset +=
            std::clamp(d, std::min(0.0, kNarrowestNudged - length), side - (position + length));
    }
}

bool within(const QRectF& inner, const QRectF& outer) {
    return inner.left() >= outer.left() && inner.top() >= outer.top() &&
           inner.x() + inner.width() <= outer.x() + outer.width() &&
           inner.y() + inner.height() <= outer.y() + outer.height();
}

} // namespace

CropSession::CropSession(std::unique_ptr<PdfDocument> document)
    : pdfDoc_(std::move(document)), originalPdfDoc_(pdfDoc_->copy()) {
    rebuildRecords();
}

void CropSession::rebuildRecords() {
    cropsRect_ = CropRecords::build(*pdfDoc_);
    setCurrentIndex(currentIndex_);
    undoStack_.clear();
    undoStack_.setUndoLimit(undoLimitFor(cropsRect_.size()));
    nudgeRun_.reset();
}

CropSession::Snapshot CropSession::snapshot() const {
    return Snapshot{cropsRect_, cropPageTypeRangeArray_, applied_, nullptr, documentVersion_};
}

CropSession::Snapshot CropSession::relayOut(std::unique_ptr<PdfDocument> before,
                                            const std::vector<std::optional<size_t>>& from,
                                            qint64 current) {
    std::vector<RMCropInfo> records;
    records.reserve(from.size());
    for (size_t i = 0; i < from.size(); ++i) {
        records.push_back(from[i] ? cropsRect_[*from[i]]
                                  : CropRecords::build(*pdfDoc_, static_cast<int>(i)));
    }
    Snapshot snapshot{std::exchange(cropsRect_, std::move(records)), cropPageTypeRangeArray_,
                      applied_, std::move(before), documentVersion_};
    // The pages' boxes are written, as "Done" writes them: "Revert All" takes them back.
    applied_ = true;
    documentVersion_ = ++lastDocumentVersion_;
    setCurrentIndex(current);
    nudgeRun_.reset();
    return snapshot;
}

CropSession::Snapshot CropSession::snapshotRebuildingRecords(std::unique_ptr<PdfDocument> before) {
    Snapshot snapshot{{}, cropPageTypeRangeArray_, applied_, std::move(before), documentVersion_};
    snapshot.records = std::exchange(cropsRect_, CropRecords::build(*pdfDoc_));
    return snapshot;
}

void CropSession::recordStep(Snapshot before, const QString& text) {
    auto step = std::make_unique<CropSessionStep>(*this, std::move(before), text);
    if (step->changesSomething())
        undoStack_.push(step.release());
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
    const QRectF viewRect = viewRectOrWholePage(rect);
    const QRectF crop = cropOfViewRect(viewRect);
    Snapshot before = snapshot();
    const std::vector<qint64> pages = carryCurrentCrop(viewRect, crop);
    recordStep(std::move(before), stepName(QT_TR_NOOP("Crop of %1"), pages));
    return isCroppedSomePage();
}

QRectF CropSession::viewRectOrWholePage(const QRectF& viewRect) const {
    return RectMath::exactlyEqual(viewRect, QRectF())
               ? QRectF(QPointF(0, 0), currentPageViewFrame().size())
               : viewRect;
}

QRectF CropSession::cropOfViewRect(const QRectF& viewRect) const {
    const RMCropInfo& current = cropsRect_[static_cast<size_t>(currentIndex_)];
    const QRectF frame = currentPageViewFrame();
    // The rectangle the view was given for the current crop (a click that moved nothing, a
    // selection carrying it) stands for that crop exactly, typed or nudged numbers and all.
    if (RectMath::exactlyEqual(viewRect, current.showRect) ||
        RectMath::exactlyEqual(viewRect, CropGeometry::pdfImgViewCropRectWithShowRect(
                                             frame, current.pageRect, current.cropRect)))
        return current.cropRect;
    return CropGeometry::displayRectFromViewRect(viewRect, current.pageRect, frame.size());
}

std::vector<qint64> CropSession::carryCurrentCrop(const QRectF& viewRect, const QRectF& crop) {
    const RMCropInfo& current = cropsRect_[static_cast<size_t>(currentIndex_)];
    // The current page and, in batch mode, the selection.
    const std::vector<qint64> covered = contentFitPages();
    const QRectF sourcePage = current.pageRect;
    for (qint64 n : covered) {
        RMCropInfo& record = cropsRect_[static_cast<size_t>(n - 1)];
        record.restoredBoxes.reset();
        if (RectMath::exactlyEqual(record.pageRect, sourcePage)) {
            record.showRect = viewRect;
            record.cropRect = crop;
        } else {
            record.cropRect = CropGeometry::fitCropRect(crop, sourcePage, record.pageRect);
        }
    }
    return covered;
}

bool CropSession::setCurrentCrop(const QRectF& displayCrop) {
    if (cropsRect_.empty())
        return false;
    const RMCropInfo& current = cropsRect_[static_cast<size_t>(currentIndex_)];
    const QRectF page = wholePage(current);
    QRectF crop = RectMath::standardized(displayCrop);
    // Clipping recomputes the sides; a crop already on the page keeps its numbers exactly.
    if (!within(crop, page))
        crop = RectMath::intersection(crop, page).value_or(page);
    cropCurrentPageAsStep(crop, QT_TR_NOOP("Crop of %1"));
    return isCroppedSomePage();
}

void CropSession::cropCurrentPageAsStep(const QRectF& crop, const char* verb) {
    const QRectF page = cropsRect_[static_cast<size_t>(currentIndex_)].pageRect;
    Snapshot before = snapshot();
    const std::vector<qint64> pages = carryCurrentCrop(
        CropGeometry::pdfImgViewCropRectWithShowRect(currentPageViewFrame(), page, crop), crop);
    recordStep(std::move(before), stepName(verb, pages));
}

bool CropSession::nudgeCrop(CropEdges edges, double dx, double dy) {
    if (cropsRect_.empty() || !edges)
        return isCroppedSomePage();
    const RMCropInfo& current = cropsRect_[static_cast<size_t>(currentIndex_)];
    const QRectF crop = RectMath::standardized(current.cropRect);
    if (!nudgeRun_ || nudgeRun_->page != currentIndex_ ||
        nudgeRun_->stepIndex != undoStack_.index() ||
        !RectMath::exactlyEqual(nudgeRun_->last, crop))
        nudgeRun_ = NudgeRun{currentIndex_, crop, 0, 0, 0, 0, crop, -1};
    NudgeRun& run = *nudgeRun_;
    // Each step is clamped against where the crop is now, so a nudge into the page's edge
    // stops there and the next one back moves at once.
    nudgeAxis(dx, edges & CropEdge::Left, edges & CropEdge::Right, run.start.x() + run.dx,
              run.start.width() + run.dw, current.pageRect.width(), run.dx, run.dw);
    nudgeAxis(dy, edges & CropEdge::Bottom, edges & CropEdge::Top, run.start.y() + run.dy,
              run.start.height() + run.dh, current.pageRect.height(), run.dy, run.dh);
    const QRectF nudged(run.start.x() + run.dx, run.start.y() + run.dy, run.start.width() + run.dw,
                        run.start.height() + run.dh);
    cropCurrentPageAsStep(nudged, QT_TR_NOOP("Nudge of %1"));
    run.last = nudged;
    run.stepIndex = undoStack_.index();
    return isCroppedSomePage();
}

bool CropSession::applyPageRangeSettingWithPageArray(const QStringList& selection) {
    Snapshot before = snapshot();
    cropPageTypeRangeArray_ = selection;
    pageRangeArray();
    if (!cropsRect_.empty()) {
        const QRectF viewRect =
            viewRectOrWholePage(cropsRect_[static_cast<size_t>(currentIndex_)].showRect);
        carryCurrentCrop(viewRect, cropOfViewRect(viewRect));
    }
    recordStep(std::move(before), tr("Page Range"));
    return isCroppedSomePage();
}

void CropSession::setStartingPageRange(const QStringList& selection) {
    cropPageTypeRangeArray_ = selection;
    pageRangeArray();
}

bool CropSession::cropPages(const std::map<qint64, QRectF>& displayCrops) {
    Snapshot before = snapshot();
    std::vector<qint64> pages;
    for (const auto& [n, crop] : displayCrops) {
        if (n < 1 || n > static_cast<qint64>(cropsRect_.size()))
            continue;
        RMCropInfo& record = cropsRect_[static_cast<size_t>(n - 1)];
        const QRectF page = wholePage(record);
        setCrop(record,
                RectMath::intersection(RectMath::standardized(crop), page).value_or(QRectF()));
        pages.push_back(n);
    }
    if (!pages.empty())
        recordStep(std::move(before), stepName(QT_TR_NOOP("Crop of %1"), pages));
    return isCroppedSomePage();
}

std::vector<qint64> CropSession::contentFitPages() {
    std::vector<qint64> pages;
    if (cropsRect_.empty())
        return pages;
    if (isBatchCrop_)
        pages = pageRangeArray();
    PageSelection::addPageNum(currentIndex_ + 1, pages);
    return pages;
}

void CropSession::setCrop(RMCropInfo& record, const QRectF& crop) {
    record.restoredBoxes.reset();
    record.cropRect = crop;
    record.showRect = CropGeometry::pdfImgViewCropRectWithShowRect(
        CropGeometry::mainPDFImgViewShowRect(record.pageRect), record.pageRect, crop);
}

bool CropSession::fitToContent(const std::map<qint64, QRectF>& contentBounds,
                               const CropLength& padding, bool sameSize) {
    Snapshot before = snapshot();
    const std::vector<qint64> pages = fitPagesToContent(contentBounds, padding, sameSize);
    recordStep(std::move(before), stepName(QT_TR_NOOP("Fit to Content of %1"), pages));
    return isCroppedSomePage();
}

std::vector<qint64> CropSession::fitPagesToContent(const std::map<qint64, QRectF>& contentBounds,
                                                   const CropLength& padding, bool sameSize) {
    const std::vector<qint64> pages = contentFitPages();
    auto contentOf = [&](qint64 n) -> std::optional<QRectF> {
        const auto found = contentBounds.find(n);
        if (found == contentBounds.end())
            return std::nullopt;
        return CropGeometry::displaySpaceRect(cropsRect_[static_cast<size_t>(n - 1)],
                                              found->second);
    };
    auto padded = [&padding](const RMCropInfo& record, const QRectF& content) {
        // Padding grows the crop; it never eats into the content.
        const double x = std::max(0.0, padding.inPoints(record.pageRect.width()));
        const double y = std::max(0.0, padding.inPoints(record.pageRect.height()));
        const QRectF page = wholePage(record);
        return RectMath::intersection(content.adjusted(-x, -y, x, y), page).value_or(page);
    };

    if (!sameSize) {
        for (qint64 n : pages) {
            RMCropInfo& record = cropsRect_[static_cast<size_t>(n - 1)];
            if (const auto content = contentOf(n))
                setCrop(record, padded(record, *content));
        }
        return pages;
    }
    const RMCropInfo& current = cropsRect_[static_cast<size_t>(currentIndex_)];
    const QSizeF size = current.pageRect.size();
    std::optional<QRectF> together;
    for (qint64 n : pages) {
        if (cropsRect_[static_cast<size_t>(n - 1)].pageRect.size() != size)
            continue;
        if (const auto content = contentOf(n))
            together = together ? joined(*together, *content) : *content;
    }
    if (!together)
        return pages;
    const QRectF sourcePage = current.pageRect;
    const QRectF crop = padded(current, *together);
    for (qint64 n : pages) {
        RMCropInfo& record = cropsRect_[static_cast<size_t>(n - 1)];
        setCrop(record, record.pageRect.size() == size
                            ? crop
                            : CropGeometry::fitCropRect(crop, sourcePage, record.pageRect));
    }
    return pages;
}

std::vector<qint64> CropSession::splitPages(const PageSplit& split) {
    std::vector<qint64> pages;
    if (cropsRect_.empty())
        return pages;
    std::vector<std::vector<QRectF>> parts;
    for (qint64 n : contentFitPages()) {
        const RMCropInfo& record = cropsRect_[static_cast<size_t>(n - 1)];
        if (pdfDoc_->isPageDamaged(static_cast<int>(n - 1)))
            continue;
        const QRectF page = wholePage(record);
        const QRectF kept =
            RectMath::intersection(RectMath::standardized(record.cropRect), page).value_or(page);
        std::vector<QRectF> pageParts;
        for (const QRectF& part : split.parts(kept)) {
            RMCropInfo shown = record;
            shown.cropRect = part;
            pageParts.push_back(CropGeometry::pageSpaceCropRect(shown));
        }
        if (!pageParts.empty()) {
            pages.push_back(n);
            parts.push_back(std::move(pageParts));
        }
    }
    if (pages.empty())
        return pages;
    // The split pages go into a new document, as "Done" writes into one, so that what shows
    // the document sees a new one.
    std::unique_ptr<PdfDocument> before = std::exchange(pdfDoc_, pdfDoc_->copy());
    std::map<int, std::vector<QRectF>> byPage;
    for (size_t i = 0; i < pages.size(); ++i)
        byPage.emplace(static_cast<int>(pages[i] - 1), parts[i]);
    pdfDoc_->splitPages(byPage);
    std::vector<std::optional<size_t>> from;
    qint64 current = currentIndex_;
    for (size_t i = 0, next = 0; i < cropsRect_.size(); ++i) {
        if (next == pages.size() || pages[next] != qint64(i) + 1) {
            from.push_back(i);
            continue;
        }
        if (qint64(i) < currentIndex_)
            current += qint64(parts[next].size()) - 1;
        from.insert(from.end(), parts[next++].size(), std::nullopt);
    }
    recordStep(relayOut(std::move(before), from, current),
               stepName(QT_TR_NOOP("Split of %1"), pages));
    return pages;
}

std::vector<std::pair<int, int>> CropSession::joinableParts() const {
    std::vector<std::pair<int, int>> runs;
    const int count = pdfDoc_->pageCount();
    for (int first = 0; first < count;) {
        const auto part = pdfDoc_->pagePart(first);
        int end = first + 1;
        // Parts of one page follow one another in their order; a part split again gives
        // parts that share its place.
        for (int previous = part ? part->index : 0;
             part && pdfDoc_->keptOriginalBoxes(first) && end < count; ++end) {
            const auto next = pdfDoc_->pagePart(end);
            if (!next || next->page != part->page || next->count != part->count ||
                next->index < previous || !pdfDoc_->keptOriginalBoxes(end))
                break;
            previous = next->index;
        }
        if (end - first >= 2)
            runs.emplace_back(first, end - first);
        first = end;
    }
    return runs;
}

std::optional<std::array<QRectF, kPdfBoxCount>> CropSession::restorableBoxes(int index) const {
    // Most pages keep nothing, and need no look at their present boxes.
    auto kept = pdfDoc_->keptOriginalBoxes(index);
    if (!kept)
        return std::nullopt;
    std::array<QRectF, kPdfBoxCount> present;
    for (int box = 0; box < kPdfBoxCount; ++box)
        present[static_cast<size_t>(box)] = pdfDoc_->boundsForBox(index, static_cast<PdfBox>(box));
    if (PdfBoxText::sameArrays(*kept, present))
        return std::nullopt;
    return kept;
}

bool CropSession::canRestoreOriginal() const {
    if (!joinableParts().empty())
        return true;
    for (int i = 0; i < static_cast<int>(cropsRect_.size()); ++i) {
        if (restorableBoxes(i))
            return true;
    }
    return false;
}

bool CropSession::restoreOriginal() {
    const std::vector<std::pair<int, int>> runs = joinableParts();
    Snapshot before = snapshot();
    if (!runs.empty()) {
        // Joining changes the pages, so it is done at once, the joined pages given their kept
        // boxes, where other restores wait for "Done".
        std::unique_ptr<PdfDocument> unjoined = std::exchange(pdfDoc_, pdfDoc_->copy());
        std::vector<std::optional<size_t>> from;
        qint64 current = currentIndex_;
        auto run = runs.begin();
        for (size_t i = 0; i < cropsRect_.size(); ++i) {
            if (run == runs.end() || static_cast<int>(i) != run->first) {
                from.push_back(i);
                continue;
            }
            const auto [first, length] = *run++;
            if (currentIndex_ >= first)
                current -= std::min<qint64>(currentIndex_ - first, length - 1);
            from.push_back(std::nullopt);
            i += static_cast<size_t>(length) - 1;
        }
        pdfDoc_->joinPages(runs);
        before = relayOut(std::move(unjoined), from, current);
    }
    for (int i = 0; i < static_cast<int>(cropsRect_.size()); ++i) {
        RMCropInfo& record = cropsRect_[static_cast<size_t>(i)];
        if (auto kept = restorableBoxes(i)) {
            record.restoredBoxes = kept;
            record.cropRect = wholePage(record);
            record.showRect = QRectF();
        }
    }
    recordStep(std::move(before), tr("Restore Original"));
    return isCroppedSomePage();
}

bool CropSession::cutsContent(qint64 pageNumber, const QRectF& contentBounds) const {
    if (pageNumber < 1 || pageNumber > static_cast<qint64>(cropsRect_.size()))
        return false;
    const auto index = static_cast<int>(pageNumber - 1);
    const auto shown = RectMath::intersection(contentBounds, shownWhenOpened(pageNumber));
    if (!shown)
        return false;
    const QRectF kept = CropGeometry::pageSpaceCropRect(cropsRect_[static_cast<size_t>(index)]);
    return shown->left() < kept.left() - kCutTolerance ||
           shown->right() > kept.right() + kCutTolerance ||
           shown->top() < kept.top() - kCutTolerance ||
           shown->bottom() > kept.bottom() + kCutTolerance;
}

QRectF CropSession::shownWhenOpened(qint64 pageNumber) const {
    const auto index = static_cast<int>(pageNumber - 1);
    const QRectF region = pdfDoc_->shownRegion(index);
    return region.isEmpty()
               ? originalPdfDoc_->boundsForBox(pdfDoc_->filePageIndex(index), PdfBox::Crop)
               : region;
}

bool CropSession::isCroppedSomePage() const {
    return std::any_of(cropsRect_.begin(), cropsRect_.end(), [](const RMCropInfo& record) {
        if (record.restoredBoxes)
            return true;
        const QRectF page = wholePage(record);
        const auto kept = RectMath::intersection(page, RectMath::standardized(record.cropRect));
        // A crop with no area, or off the page, leaves the page as it is (see recordBoxes()).
        if (!kept || !(kept->height() > 0 && kept->width() > 0))
            return false;
        return kept->left() > kSameEdge || kept->top() > kSameEdge ||
               page.right() - kept->right() > kSameEdge ||
               page.bottom() - kept->bottom() > kSameEdge;
    });
}

std::array<QRectF, kPdfBoxCount> CropSession::recordBoxes(int index) const {
    const RMCropInfo& record = cropsRect_[static_cast<size_t>(index)];
    // Restored boxes go in as they were kept: the media box they come with is usually larger
    // than the present one, so nothing clips them.
    if (record.restoredBoxes)
        return *record.restoredBoxes;
    // A crop dragged to the page's edge can come back a rounding error past it; the media
    // box is where the page ends.
    const QRectF box = CropGeometry::pageSpaceCropRect(record).intersected(
        pdfDoc_->boundsForBox(index, PdfBox::Media));
    // A crop with no area (a marker dragged to zero width, a batch crop that only touches a
    // smaller page) would give the page boxes no area, which readers replace with a default
    // paper size. Such a page keeps its whole crop box instead.
    const bool keepsNothing = !(record.cropRect.width() > 0 && record.cropRect.height() > 0) ||
                              !(box.width() > 0 && box.height() > 0);
    std::array<QRectF, kPdfBoxCount> boxes;
    boxes.fill(keepsNothing ? record.originalPageRect : box);
    return boxes;
}

void CropSession::writeRecords(PdfDocument& document) const {
    const int count = std::min<int>(document.pageCount(), static_cast<int>(cropsRect_.size()));
    for (int i = 0; i < count; ++i) {
        const std::array<QRectF, kPdfBoxCount> boxes = recordBoxes(i);
        for (int box = 0; box < kPdfBoxCount; ++box)
            document.setBoundsForBox(i, boxes[static_cast<size_t>(box)], static_cast<PdfBox>(box));
    }
}

QByteArray CropSession::applyCropDocData() {
    writeRecords(*pdfDoc_);
    return pdfDoc_->dataRepresentation();
}

QByteArray CropSession::currentDocData() const {
    return pdfDoc_->dataRepresentation();
}

void CropSession::done() {
    std::unique_ptr<PdfDocument> uncropped = pdfDoc_->copy();
    // Only the boxes matter here; making the bytes would cost a whole write for nothing.
    writeRecords(*pdfDoc_);
    Snapshot before = snapshotRebuildingRecords(std::move(uncropped));
    applied_ = true;
    documentVersion_ = ++lastDocumentVersion_;
    recordStep(std::move(before), tr("Done"));
}

void CropSession::revertAll() {
    Snapshot before = snapshotRebuildingRecords(std::exchange(pdfDoc_, originalPdfDoc_->copy()));
    applied_ = false;
    documentVersion_ = 0;
    recordStep(std::move(before), tr("Revert All"));
}
