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

void ContentBoundsQueue::request(int pageIndex) {
    if (known_.contains(pageIndex) || waiting_.contains(pageIndex))
        return;
    waiting_.insert(pageIndex);
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(pageIndex);
    }
    wake_.notify_one();
}

void ContentBoundsQueue::serve(std::stop_token shutdown) {
    std::unique_ptr<PageContentMeasurer> measurer;
    while (!shutdown.stop_requested()) {
        int pageIndex = 0;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, shutdown, [this] { return !queue_.empty(); }))
                return;
            pageIndex = queue_.back();
            queue_.pop_back();
        }
        if (!measurer)
            measurer = factory_();
        const std::optional<QRectF> bounds = measurer->contentBounds(pageIndex, options_, shutdown);
        if (shutdown.stop_requested())
            return;
        // Delivered only while the queue lives: a posted call dies with its object.
        QMetaObject::invokeMethod(
            this,
            [this, pageIndex, bounds] {
                waiting_.remove(pageIndex);
                known_.insert(pageIndex, bounds);
                emit measured(pageIndex);
            },
            Qt::QueuedConnection);
    }
}
