#include "render/RenderQueue.h"

#include "render/ImageCache.h"
#include "render/RenderKey.h"

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
        QObject::connect(
            queue_.get(), &RenderQueue::failed,
            [this](quint64 ticket, const PageRenderRequest&, const PageRenderResult& result) {
                deliveries_.push_back({ticket, {}, result.error});
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

RenderKey keyFor(int page) {
    return RenderKey(PageRenderRequest{page, QRectF(0, 0, 612, 792), 0, QSize(100, 100), 1.0});
}

QImage imageOf(int width, int height) {
    return QImage(width, height, QImage::Format_RGB32);
}

// 100 x 100 pixels of 4 bytes.
constexpr qsizetype kSmallBytes = 40000;

TEST(ImageCacheTest, KeepsTheRecentlyUsedPicturesWithinItsBytes) {
    ImageCache cache(3 * kSmallBytes);
    for (int page : {0, 1, 2})
        cache.insert(keyFor(page), imageOf(100, 100));
    ASSERT_FALSE(cache.find(keyFor(0)).isNull()); // now 1 is the least recently used

    cache.insert(keyFor(3), imageOf(100, 200)); // needs two small ones' room
    for (int page : {0, 1, 2, 3})
        EXPECT_EQ(cache.find(keyFor(page)).isNull(), page == 1 || page == 2) << page;
    EXPECT_EQ(cache.sizeInBytes(), 3 * kSmallBytes);

    // A new picture under a key replaces the old one; one larger than the capacity is not kept,
    // and costs no other picture its place.
    cache.insert(keyFor(3), imageOf(50, 50));
    cache.insert(keyFor(4), imageOf(200, 200));
    EXPECT_EQ(cache.find(keyFor(3)).size(), QSize(50, 50));
    EXPECT_TRUE(cache.find(keyFor(4)).isNull());
    EXPECT_EQ(cache.sizeInBytes(), kSmallBytes + kSmallBytes / 4);

    // Shrunk, it lets the least recently used, 0, go down to the new capacity, and keeps to it.
    cache.setCapacityBytes(kSmallBytes / 2);
    EXPECT_TRUE(cache.find(keyFor(0)).isNull());
    EXPECT_EQ(cache.find(keyFor(3)).size(), QSize(50, 50));
    cache.insert(keyFor(5), imageOf(60, 50));
    EXPECT_TRUE(cache.find(keyFor(3)).isNull());
    EXPECT_EQ(cache.sizeInBytes(), 60 * 50 * 4);
}

// Pictures of the same page must never be mixed up, even when QRectF's fuzzy equality would
// call their boxes equal.
TEST(RenderKeyTest, EveryFieldAndEveryHairOfTheBoxMakesADifferentPicture) {
    const PageRenderRequest request{3, QRectF(10, 20, 300, 400), 90, QSize(200, 150), 2.0};
    PageRenderRequest hair = request, turned = request, denser = request;
    hair.box.moveLeft(10 + 1e-13);
    turned.rotation = 270;
    denser.devicePixelRatio = 1.0;
    for (const auto& other : {hair, turned, denser})
        EXPECT_FALSE(RenderKey(other) == RenderKey(request));
    EXPECT_TRUE(RenderKey(request) == RenderKey(PageRenderRequest(request)));
    EXPECT_EQ(qHash(RenderKey(request)), qHash(RenderKey(PageRenderRequest(request))));
}

} // namespace
