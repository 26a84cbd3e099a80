#include "tests/render/RenderGate.h"

#include <QImage>

#include <chrono>

namespace {
constexpr int kPageCount = 10;
}

class RenderGate::GatedRasterizer : public PageRasterizer {
public:
    explicit GatedRasterizer(RenderGate& gate) : gate_(gate) {}

    PageRenderResult render(const PageRenderRequest& request, std::stop_token stop) override {
        return gate_.pass(request, std::move(stop));
    }
    int pageCount() const override { return kPageCount; }

private:
    RenderGate& gate_;
};

void RenderGate::ignoreCancellation() {
    std::lock_guard lock(mutex_);
    ignoreCancellation_ = true;
}

void RenderGate::open() {
    {
        std::lock_guard lock(mutex_);
        open_ = true;
    }
    changed_.notify_all();
}

bool RenderGate::awaitStarted(std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::minutes(1),
                             [&] { return started_.size() >= count; });
}

std::vector<int> RenderGate::startedPages() const {
    std::lock_guard lock(mutex_);
    return started_;
}

std::unique_ptr<PageRasterizer> RenderGate::makeRasterizer() {
    return std::make_unique<GatedRasterizer>(*this);
}

PageRenderResult RenderGate::pass(const PageRenderRequest& request, std::stop_token stop) {
    std::unique_lock lock(mutex_);
    started_.push_back(request.pageIndex);
    changed_.notify_all();
    const std::stop_token watched = ignoreCancellation_ ? std::stop_token() : stop;
    if (!changed_.wait(lock, watched, [this] { return open_; }))
        return PageRenderResult::cancellation();
    if (request.pageIndex < 0 || request.pageIndex >= kPageCount)
        return PageRenderResult::failure(QStringLiteral("no such page"));
    QImage image(request.pixelSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    return PageRenderResult::success(image);
}
