#include "editor/ContentFitter.h"

#include "crop/CropSession.h"

#include <map>

ContentFitter::ContentFitter(CropSession& session, QObject* parent)
    : QObject(parent), session_(session) {}

ContentFitter::~ContentFitter() = default;

void ContentFitter::setMeasurerFactory(ContentBoundsQueue::MeasurerFactory factory) {
    queue_ = std::make_unique<ContentBoundsQueue>(std::move(factory), ContentBoundsOptions());
    connect(queue_.get(), &ContentBoundsQueue::measured, this, &ContentFitter::pageMeasured);
    // A fit under way waits for its pages again: the new queue knows none of them.
    if (fit_) {
        for (qint64 page : fit_->pages) {
            fit_->waiting.insert(static_cast<int>(page - 1));
            queue_->request(static_cast<int>(page - 1));
        }
    }
}

void ContentFitter::fit(const CropLength& padding, bool sameSize) {
    if (!queue_)
        return;
    fit_ = PendingFit{session_.contentFitPages(), {}, padding, sameSize};
    // Asked for last page first: the queue serves the newest first, so the current page and
    // the start of the selection come soonest.
    for (auto page = fit_->pages.rbegin(); page != fit_->pages.rend(); ++page) {
        const int index = static_cast<int>(*page - 1);
        if (!queue_->isKnown(index)) {
            fit_->waiting.insert(index);
            queue_->request(index);
        }
    }
    finishFitWhenMeasured();
}

void ContentFitter::pageMeasured(int pageIndex) {
    if (fit_ && fit_->waiting.remove(pageIndex))
        finishFitWhenMeasured();
    emit contentKnown(pageIndex);
}

void ContentFitter::finishFitWhenMeasured() {
    const auto& pages = fit_->pages;
    const auto total = static_cast<int>(pages.size());
    emit fitProgress(total - static_cast<int>(fit_->waiting.size()), total);
    if (!fit_->waiting.isEmpty())
        return;
    std::map<qint64, QRectF> bounds;
    for (qint64 page : pages) {
        if (const auto content = queue_->bounds(static_cast<int>(page - 1)))
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
    const int page = static_cast<int>(index);
    if (!queue_->isKnown(page)) {
        queue_->request(page);
        return std::nullopt;
    }
    return queue_->bounds(page);
}

bool ContentFitter::cutsContent(qint64 index) {
    const QRectF opened =
        session_.originalPdfDoc().boundsForBox(static_cast<int>(index), PdfBox::Crop);
    if (!session_.cutsContent(index + 1, opened))
        return false;
    const auto content = contentOf(index);
    return content && session_.cutsContent(index + 1, *content);
}
