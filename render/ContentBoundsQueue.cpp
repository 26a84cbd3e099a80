#include "render/ContentBoundsQueue.h"

#include <QMetaObject>

ContentBoundsQueue::ContentBoundsQueue(MeasurerFactory factory, ContentBoundsOptions options,
                                       QObject* parent)
    : QObject(parent), factory_(std::move(factory)), options_(options) {
    for (int i = 0; i < PageContentMeasurer::kForBatch; ++i)
        workers_.emplace_back([this](std::stop_token shutdown) { serve(shutdown); });
}

ContentBoundsQueue::~ContentBoundsQueue() {
    for (std::jthread& worker : workers_)
        worker.request_stop();
}

void ContentBoundsQueue::request(const ContentRegion& region) {
    if (known_.contains(region) || waiting_.contains(region))
        return;
    waiting_.insert(region);
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(region);
    }
    wake_.notify_one();
}

void ContentBoundsQueue::serve(std::stop_token shutdown) {
    std::unique_ptr<PageContentMeasurer> measurer;
    while (!shutdown.stop_requested()) {
        ContentRegion region;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, shutdown, [this] { return !queue_.empty(); }))
                return;
            region = queue_.back();
            queue_.pop_back();
        }
        if (!measurer)
            measurer = factory_();
        ContentBoundsOptions options = options_;
        options.within = region.within;
        const std::optional<QRectF> bounds =
            measurer->contentBounds(region.page, options, shutdown);
        if (shutdown.stop_requested())
            return;
        // Delivered only while the queue lives: a posted call dies with its object.
        QMetaObject::invokeMethod(
            this,
            [this, region, bounds] {
                waiting_.remove(region);
                known_.insert(region, bounds);
                emit measured(region);
            },
            Qt::QueuedConnection);
    }
}
