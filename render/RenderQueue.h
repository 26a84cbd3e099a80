#pragma once

#include "render/PageRasterizer.h"
#include "render/PageRenderRequest.h"

#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

class ImageCache;

// Renders pages of one document on worker threads and hands the pictures back to the GUI
// thread, so the GUI thread never waits for a render.
//
// Each worker has its own rasterizer, made by the factory on that worker. The newest request
// is served first: what the user looks at now matters more than what they scrolled past.
// Pictures found in the cache come back without rendering, and new pictures are added to it.
// A result arrives only for a ticket that is still wanted: once cancelled, by cancel() or
// cancelAll(), a request is never answered, even if its picture was already on its way.
//
// Thread: the queue lives on the GUI thread (the thread that created it); every method is
// called there, and the signals are emitted there.
class RenderQueue : public QObject {
    Q_OBJECT

public:
    using RasterizerFactory = std::function<std::unique_ptr<PageRasterizer>()>;

    // min(2, ideal thread count): two workers keep a page view and its thumbnails busy
    // without taking every core from the rest of the program.
    static int defaultWorkerCount();

    RenderQueue(RasterizerFactory factory, std::shared_ptr<ImageCache> cache,
                int workerCount = defaultWorkerCount(), QObject* parent = nullptr);
    // Cancels everything and waits for the workers to finish their current render.
    ~RenderQueue() override;

    // Queues request and returns its ticket, which the signals carry back.
    quint64 submit(const PageRenderRequest& request);
    // Forgets ticket: a queued request is dropped, a running one is aborted.
    void cancel(quint64 ticket);
    // Forgets every ticket issued so far, as when the document's boxes change.
    void cancelAll();

signals:
    void rendered(quint64 ticket, const PageRenderRequest& request, const QImage& image);
    // result says why, and whether the renderer was lost on the way.
    void failed(quint64 ticket, const PageRenderRequest& request, const PageRenderResult& result);

private:
    struct Job {
        quint64 ticket;
        PageRenderRequest request;
        std::stop_source stop;
    };

    // Worker thread: renders jobs until the queue shuts down.
    void serve(std::stop_token shutdown);
    // Worker thread: the newest queued job, or nothing once shutdown is requested.
    std::optional<Job> takeJob(std::stop_token shutdown);
    // Worker thread: hands result to the GUI thread.
    void post(quint64 ticket, const PageRenderRequest& request, const PageRenderResult& result);
    // GUI thread: emits the result if its ticket is still wanted.
    void deliver(quint64 ticket, const PageRenderRequest& request, const PageRenderResult& result);

    const RasterizerFactory factory_;
    const std::shared_ptr<ImageCache> cache_;

    // GUI thread only: tickets issued and neither answered nor cancelled.
    QSet<quint64> wanted_;
    quint64 lastTicket_ = 0;

    // Shared with the workers.
    std::mutex mutex_;
    std::condition_variable_any jobAdded_;
    std::deque<Job> queued_; // newest at the back
    std::map<quint64, std::stop_source> running_;

    // Last member: the workers stop and join before anything they use is destroyed.
    std::vector<std::jthread> workers_;
};
