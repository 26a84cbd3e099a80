#include "render/RenderQueue.h"

#include "render/ImageCache.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <vector>

namespace {

PageRenderRequest requestFor(int page, qreal devicePixelRatio = 1.0) {
    return {page, QRectF(0, 0, 612, 792), 0, QSize(61, 79), devicePixelRatio};
}

// The queue's own logic, on fake renders that a test steers: each render records its page and
// then waits until the gate opens or the render is cancelled. Pages 0 to 9 render; others fail.
class RenderQueueTest : public testing::Test {
protected:
    struct GatedRasterizer : PageRasterizer {
        explicit GatedRasterizer(RenderQueueTest& t) : test(t) {}
        PageRenderResult render(const PageRenderRequest& request, std::stop_token stop) override {
            return test.pass(request, std::move(stop));
        }
        int pageCount() const override { return 10; }
        RenderQueueTest& test;
    };

    // What the queue handed back, in order of arrival.
    struct Delivery {
        quint64 ticket;
        QImage image;
        QString error;
    };

    static void SetUpTestSuite() { // results come back through the event loop
        static int argc = 1;
        static char name[] = "tests_render", *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }

    PageRenderResult pass(const PageRenderRequest& request, std::stop_token stop) {
        std::unique_lock lock(mutex_);
        started_.push_back(request.pageIndex);
        changed_.notify_all();
        if (!changed_.wait(lock, ignoreCancellation_ ? std::stop_token() : stop,
                           [&] { return open_; }))
            return PageRenderResult::cancellation();
        return request.pageIndex > 9 ? PageRenderResult::failure("no such page")
                                     : PageRenderResult::success(QImage(1, 1, QImage::Format_Mono));
    }
    void openGate() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // False only if a broken queue has not started count renders within a minute.
    bool awaitStarted(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::minutes(1),
                                 [&] { return started_.size() >= count; });
    }

    void start(RenderQueue::RasterizerFactory factory = {}, int workers = 1) {
        if (!factory)
            factory = [this] { return std::make_unique<GatedRasterizer>(*this); };
        queue_ = std::make_unique<RenderQueue>(std::move(factory), cache_, workers);
        QObject::connect(queue_.get(), &RenderQueue::rendered,
                         [this](quint64 ticket, const PageRenderRequest&, const QImage& image) {
                             deliveries_.push_back({ticket, image, {}});
                         });
        QObject::connect(queue_.get(), &RenderQueue::failed,
                         [this](quint64 ticket, const PageRenderRequest&, const QString& error) {
                             deliveries_.push_back({ticket, {}, error});
                         });
    }
    // Runs the event loop until count results have arrived; the deadline only stops a broken
    // queue from hanging the suite.
    void awaitDeliveries(std::size_t count) {
        const QDeadlineTimer deadline(std::chrono::minutes(1));
        while (deliveries_.size() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        ASSERT_EQ(deliveries_.size(), count);
    }

    std::mutex mutex_;
    std::condition_variable_any changed_;
    bool open_ = false;
    bool ignoreCancellation_ = false; // set before start()
    // Pages in the order their renders started; with one worker, read once the last result
    // has arrived, which the worker posted after recording them all.
    std::vector<int> started_;
    std::shared_ptr<ImageCache> cache_ = std::make_shared<ImageCache>(64 << 20);
    std::vector<Delivery> deliveries_;
    std::unique_ptr<RenderQueue> queue_;
};

TEST_F(RenderQueueTest, ServesTheNewestRequestFirstAndReportsFailures) {
    start();
    std::vector<quint64> tickets{queue_->submit(requestFor(0))};
    ASSERT_TRUE(awaitStarted(1));
    for (int page : {1, 99, 3})
        tickets.push_back(queue_->submit(requestFor(page)));

    openGate();
    awaitDeliveries(4);

    EXPECT_EQ(started_, (std::vector<int>{0, 3, 99, 1}));
    const std::size_t submitted[] = {0, 3, 2, 1}; // in the order of delivery
    for (std::size_t i = 0; i < deliveries_.size(); ++i) {
        EXPECT_EQ(deliveries_[i].ticket, tickets[submitted[i]]);
        EXPECT_EQ(deliveries_[i].error, i == 2 ? "no such page" : "");
        EXPECT_EQ(deliveries_[i].image.isNull(), i == 2);
    }
}

TEST_F(RenderQueueTest, NeverAnswersACancelledTicketWhetherQueuedOrRunning) {
    start();
    const quint64 running = queue_->submit(requestFor(0));
    ASSERT_TRUE(awaitStarted(1));
    const quint64 queued = queue_->submit(requestFor(1));
    const quint64 kept = queue_->submit(requestFor(2));

    queue_->cancel(running);
    queue_->cancel(queued);
    ASSERT_TRUE(awaitStarted(2)); // the running render stops without the gate opening
    openGate();
    awaitDeliveries(1);

    EXPECT_EQ(deliveries_[0].ticket, kept);
    EXPECT_EQ(started_, (std::vector<int>{0, 2}));
}

// A render that finishes despite cancelAll() belongs to an old state of the document; its
// picture must not reach the screen.
TEST_F(RenderQueueTest, DropsEverythingSubmittedBeforeCancelAllEvenAFinishedPicture) {
    ignoreCancellation_ = true;
    start();
    queue_->submit(requestFor(0));
    ASSERT_TRUE(awaitStarted(1));
    queue_->submit(requestFor(1));

    queue_->cancelAll();
    const quint64 fresh = queue_->submit(requestFor(2));
    openGate();
    awaitDeliveries(1);

    EXPECT_EQ(deliveries_[0].ticket, fresh);
    EXPECT_EQ(started_, (std::vector<int>{0, 2}));
}

TEST_F(RenderQueueTest, AnswersFromTheCacheWithoutRenderingButNeverBeforeSubmitReturns) {
    openGate();
    start();
    queue_->submit(requestFor(0));
    awaitDeliveries(1);

    const quint64 again = queue_->submit(requestFor(0));
    EXPECT_EQ(deliveries_.size(), 1u);
    awaitDeliveries(2);

    EXPECT_EQ(deliveries_[1].ticket, again);
    EXPECT_FALSE(deliveries_[1].image.isNull());
    EXPECT_EQ(started_, (std::vector<int>{0}));

    // A different pixel ratio is a different picture.
    queue_->submit(requestFor(0, 2.0));
    awaitDeliveries(3);
    EXPECT_EQ(started_, (std::vector<int>{0, 0}));
}

TEST_F(RenderQueueTest, ShutsDownWhileRenderingWithoutAnswering) {
    start({}, 2);
    for (int page : {0, 1, 2})
        queue_->submit(requestFor(page));
    ASSERT_TRUE(awaitStarted(2));

    queue_.reset();
    QCoreApplication::processEvents();

    EXPECT_TRUE(deliveries_.empty());
}

} // namespace
