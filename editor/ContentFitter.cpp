#include "editor/ContentFitter.h"

#include "crop/CropSession.h"

#include <map>

ContentFitter::ContentFitter(CropSession& session, QObject* parent)
    : QObject(parent), session_(session) {}

ContentFitter::~ContentFitter() = default;

void ContentFitter::setMeasurerFactory(ContentBoundsQueue::MeasurerFactory factory) {
    queue_ = std::make_unique<ContentBoundsQueue>(std::move(factory), ContentBoundsOptions());
    connect(queue_.get(), &ContentBoundsQueue::measured, this, &ContentFitter::regionMeasured);
    askedBy_.clear();
    // A fit under way waits for its pages again: the new queue knows none of them.
    if (fit_) {
        for (qint64 page : fit_->pages) {
            const ContentRegion region = regionOf(page - 1);
            fit_->waiting.insert(region);
            request(region, page - 1);
        }
    }
}

ContentRegion ContentFitter::regionOf(qint64 index) const {
    const PdfDocument& document = session_.pdfDoc();
    const int page = static_cast<int>(index);
    return {document.filePageIndex(page), document.shownRegion(page)};
}

void ContentFitter::request(const ContentRegion& region, qint64 index) {
    askedBy_[region].insert(index);
    queue_->request(region);
}

void ContentFitter::fit(const CropLength& padding, bool sameSize) {
    if (!queue_)
        return;
    fit_ = PendingFit{session_.contentFitPages(), {}, padding, sameSize};
    // Asked for last page first: the queue serves the newest first, so the current page and
    // the start of the selection come soonest.
    for (auto page = fit_->pages.rbegin(); page != fit_->pages.rend(); ++page) {
        const ContentRegion region = regionOf(*page - 1);
        if (!queue_->isKnown(region)) {
            fit_->waiting.insert(region);
            request(region, *page - 1);
        }
    }
    finishFitWhenMeasured();
}

void ContentFitter::regionMeasured(const ContentRegion& region) {
    if (fit_ && fit_->waiting.remove(region))
        finishFitWhenMeasured();
    // Pages split or joined since they asked are told only if they still show the region.
    for (const qint64 index : askedBy_.take(region)) {
        if (index < session_.pdfDoc().pageCount() && regionOf(index) == region)
            emit contentKnown(index);
    }
}

void ContentFitter::finishFitWhenMeasured() {
    const auto& pages = fit_->pages;
    const auto total = static_cast<int>(pages.size());
    emit fitProgress(total - static_cast<int>(fit_->waiting.size()), total);
    if (!fit_->waiting.isEmpty())
        return;
    std::map<qint64, QRectF> bounds;
    for (qint64 page : pages) {
        if (const auto content = queue_->bounds(regionOf(page - 1)))
            bounds.emplace(page, *content);
    }
    const PendingFit done = *fit_;
    fit_.reset();
    // The selection or the current page may have changed while the pages were measured; the
    // fit covers what it covers now, and pages measured for it alone keep their crops.
    emit fitted(session_.fitToContent(bounds, done.padding, done.sameSize));
}

std::optional<QRectF> ContentFitter::contentOf(qint64 index) {
    if (!queue_)
        return std::nullopt;
    const ContentRegion region = regionOf(index);
    if (!queue_->isKnown(region)) {
        request(region, index);
        return std::nullopt;
    }
    return queue_->bounds(region);
}

bool ContentFitter::cutsContent(qint64 index) {
    if (!session_.cutsContent(index + 1, session_.shownWhenOpened(index + 1)))
        return false;
    const auto content = contentOf(index);
    return content && session_.cutsContent(index + 1, *content);
}
