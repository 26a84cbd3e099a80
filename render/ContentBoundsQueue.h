#pragma once

#include "render/ContentRegion.h"
#include "render/PageContentMeasurer.h"

#include <QHash>
#include <QObject>
#include <QSet>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Measures the content of a document's pages on worker threads of its own and keeps the
// bounds, so the GUI thread never waits for a measurement and no page is measured twice.
//
// Each worker (PageContentMeasurer::kForBatch of them, so a batch is measured on as many
// cores) makes its measurer by the factory when it is first given a page: asked for one page
// at a time, the queue makes one. The newest request is served first: the page the user looks
// at now matters most. Destroying the queue stops the measurements under way at once.
//
// Thread: the queue lives on the GUI thread (the thread that created it); every method is
// called there, and measured() is emitted there.
class ContentBoundsQueue : public QObject {
    Q_OBJECT

public:
    using MeasurerFactory = std::function<std::unique_ptr<PageContentMeasurer>()>;

    ContentBoundsQueue(MeasurerFactory factory, ContentBoundsOptions options,
                       QObject* parent = nullptr);
    ~ContentBoundsQueue() override;

    // Whether region has been measured.
    bool isKnown(const ContentRegion& region) const { return known_.contains(region); }
    // Its bounds in page space once measured; nothing for a region without content, or one not
    // measured yet.
    std::optional<QRectF> bounds(const ContentRegion& region) const { return known_.value(region); }
    // Measures region unless it is measured or waiting already.
    void request(const ContentRegion& region);

signals:
    void measured(const ContentRegion& region);

private:
    // Worker thread: measures pages until the queue shuts down.
    void serve(std::stop_token shutdown);

    const MeasurerFactory factory_;
    const ContentBoundsOptions options_;
    // GUI thread only.
    QHash<ContentRegion, std::optional<QRectF>> known_;
    QSet<ContentRegion> waiting_;

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<ContentRegion> queue_;
    // Last: stopped and joined before anything they use is destroyed.
    std::vector<std::jthread> workers_;
};
