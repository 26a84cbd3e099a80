#include "render/RenderQueue.h"

#include "render/ImageCache.h"
#include "render/RenderKey.h"

#include <QThread>

#include <algorithm>
#include <utility>

int RenderQueue::defaultWorkerCount() {
    return std::clamp(QThread::idealThreadCount(), 1, 2);
}

RenderQueue::RenderQueue(RasterizerFactory factory, std::shared_ptr<ImageCache> cache,
                         int workerCount, QObject* parent)
    : QObject(parent), factory_(std::move(factory)), cache_(std::move(cache)) {
    for (int i = 0; i < std::max(1, workerCount); ++i)
        workers_.emplace_back([this](std::stop_token shutdown) { serve(std::move(shutdown)); });
}

RenderQueue::~RenderQueue() {
    cancelAll();
    // Each jthread requests its own stop and joins; afterwards nothing posts to this object.
    workers_.clear();
}

quint64 RenderQueue::submit(const PageRenderRequest& request) {
    const quint64 ticket = ++lastTicket_;
    wanted_.insert(ticket);
    if (QImage cached = cache_->find(RenderKey(request)); !cached.isNull()) {
        // Answered through the event loop like a rendered picture, so callers never receive a
        // result before submit() returns.
        post(ticket, request, PageRenderResult::success(std::move(cached)));
        return ticket;
    }
    {
        std::lock_guard lock(mutex_);
        queued_.push_back({ticket, request, {}});
    }
    jobAdded_.notify_one();
    return ticket;
}

void RenderQueue::cancel(quint64 ticket) {
    wanted_.remove(ticket);
    std::lock_guard lock(mutex_);
    std::erase_if(queued_, [ticket](const Job& job) { return job.ticket == ticket; });
    if (const auto running = running_.find(ticket); running != running_.end())
        running->second.request_stop();
}

void RenderQueue::cancelAll() {
    wanted_.clear();
    std::lock_guard lock(mutex_);
    queued_.clear();
    for (auto& [ticket, stop] : running_)
        stop.request_stop();
}

void RenderQueue::serve(std::stop_token shutdown) {
    const std::unique_ptr<PageRasterizer> rasterizer = factory_();
    while (std::optional<Job> job = takeJob(shutdown)) {
        const RenderKey key(job->request);
        // Another worker may have drawn the same picture since it was requested.
        PageRenderResult result;
        if (QImage cached = cache_->find(key); !cached.isNull()) {
            result = PageRenderResult::success(std::move(cached));
        } else {
            result = rasterizer->render(job->request, job->stop.get_token());
            if (!result.image.isNull())
                cache_->insert(key, result.image);
        }
        {
            std::lock_guard lock(mutex_);
            running_.erase(job->ticket);
        }
        if (!result.cancelled)
            post(job->ticket, job->request, result);
    }
}

std::optional<RenderQueue::Job> RenderQueue::takeJob(std::stop_token shutdown) {
    std::unique_lock lock(mutex_);
    if (!jobAdded_.wait(lock, shutdown, [this] { return !queued_.empty(); }))
        return std::nullopt;
    Job job = std::move(queued_.back());
    queued_.pop_back();
    running_.emplace(job.ticket, job.stop);
    return job;
}

void RenderQueue::post(quint64 ticket, const PageRenderRequest& request,
                       const PageRenderResult& result) {
    QMetaObject::invokeMethod(
        this, [this, ticket, request, result] { deliver(ticket, request, result); },
        Qt::QueuedConnection);
}

void RenderQueue::deliver(quint64 ticket, const PageRenderRequest& request,
                          const PageRenderResult& result) {
    if (!wanted_.remove(ticket))
        return;
    if (result.image.isNull())
        emit failed(ticket, request, result);
    else
        emit rendered(ticket, request, result.image);
}
