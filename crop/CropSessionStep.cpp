#include "crop/CropSessionStep.h"

#include "crop/RectMath.h"

namespace {

bool sameBoxes(const std::optional<std::array<QRectF, kPdfBoxCount>>& a,
               const std::optional<std::array<QRectF, kPdfBoxCount>>& b) {
    if (!a || !b)
        return a.has_value() == b.has_value();
    for (size_t i = 0; i < a->size(); ++i) {
        if (!RectMath::exactlyEqual((*a)[i], (*b)[i]))
            return false;
    }
    return true;
}

// The part of its page a record keeps: a crop dragged past the page's edges keeps the page.
QRectF kept(const RMCropInfo& record) {
    return RectMath::intersection(RectMath::standardized(record.cropRect),
                                  QRectF(QPointF(0, 0), record.pageRect.size()))
        .value_or(QRectF());
}

// Whether the records keep the same part of the same page, however the view showed it.
bool sameCrop(const RMCropInfo& a, const RMCropInfo& b) {
    return a.pageRoation == b.pageRoation && RectMath::exactlyEqual(kept(a), kept(b)) &&
           RectMath::exactlyEqual(a.pageRect, b.pageRect) &&
           RectMath::exactlyEqual(a.originalPageRect, b.originalPageRect) &&
           sameBoxes(a.restoredBoxes, b.restoredBoxes);
}

} // namespace

CropSessionStep::CropSessionStep(CropSession& session, CropSession::Snapshot before,
                                 const QString& text)
    : QUndoCommand(text), session_(session), selectionBefore_(std::move(before.selection)),
      selectionAfter_(session.cropPageTypeRangeArray_), appliedBefore_(before.applied),
      appliedAfter_(session.applied_), otherDocument_(std::move(before.document)),
      otherDocumentVersion_(before.documentVersion), page_(session.currentIndex_) {
    if (otherDocument_) {
        // A new document comes with records of its own: they are swapped in and out with it,
        // not compared and copied record by record.
        otherRecords_ = std::move(before.records);
        return;
    }
    const std::vector<RMCropInfo>& after = session.cropsRect_;
    // Rebuilding records never changes their number, so they pair up by index. The changed
    // ones are found first, so that the records kept are allocated once: growing them record
    // by record moved a batch crop of 10,000 pages' records many times over.
    const size_t count = std::min(after.size(), before.records.size());
    std::vector<size_t> changed;
    for (size_t i = 0; i < count; ++i) {
        const bool same = sameCrop(before.records[i], after[i]);
        if (!same || !RectMath::exactlyEqual(before.records[i].showRect, after[i].showRect) ||
            !RectMath::exactlyEqual(before.records[i].cropRect, after[i].cropRect))
            changed.push_back(i);
        cropsChanged_ = cropsChanged_ || !same;
    }
    recordsBefore_.reserve(changed.size());
    recordsAfter_.reserve(changed.size());
    for (const size_t i : changed) {
        recordsBefore_.emplace_back(i, std::move(before.records[i]));
        recordsAfter_.emplace_back(i, after[i]);
    }
}

bool CropSessionStep::changesSomething() const {
    // A drag past the page's edges changes the numbers of the crop, not what it keeps:
    // nothing to undo.
    return cropsChanged_ || selectionBefore_ != selectionAfter_ ||
           appliedBefore_ != appliedAfter_ || otherDocument_;
}

void CropSessionStep::undo() {
    apply(recordsBefore_, selectionBefore_, appliedBefore_);
}

void CropSessionStep::redo() {
    if (std::exchange(done_, false))
        return;
    apply(recordsAfter_, selectionAfter_, appliedAfter_);
}

void CropSessionStep::apply(const Records& records, const QStringList& selection, bool applied) {
    if (otherDocument_) {
        std::swap(session_.pdfDoc_, otherDocument_);
        std::swap(session_.documentVersion_, otherDocumentVersion_);
        std::swap(session_.cropsRect_, otherRecords_);
    }
    for (const auto& [index, record] : records) {
        if (index < session_.cropsRect_.size())
            session_.cropsRect_[index] = record;
    }
    session_.cropPageTypeRangeArray_ = selection;
    session_.applied_ = applied;
    session_.setCurrentIndex(page_);
}
