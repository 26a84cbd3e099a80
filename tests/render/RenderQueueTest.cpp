#include "render/RenderQueue.h"

#include "render/ImageCache.h"
#include "render/MupdfRasterizer.h"
#include "tests/render/PixelAssertions.h"
#include "tests/render/RenderGate.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <vector>

namespace {

PageRenderRequest requestFor(int page, qreal devicePixelRatio = 1.0) {
    return {page, QRectF(0, 0, 612, 792), 0, QSize(61, 79), devicePixelRatio};
}

// What the queue handed back, in order of arrival.
struct Delivery {
    quint64 ticket;
    PageRenderRequest request;
    QImage image;
    QString error;
};

class RenderQueueTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // Results come back through the event loop.
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "tests_render";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
    }

    void start(RenderQueue::RasterizerFactory factory, int workers) {
        queue_ = std::make_unique<RenderQueue>(std::move(factory), cache_, workers);
        QObject::connect(
            queue_.get(), &RenderQueue::rendered,
            [this](quint64 ticket, const PageRenderRequest& request, const QImage& image) {
                deliveries_.push_back({ticket, request, image, {}});
            });
        QObject::connect(
            queue_.get(), &RenderQueue::failed,
            [this](quint64 ticket, const PageRenderRequest& request, const QString& message) {
                deliveries_.push_back({ticket, request, {}, message});
            });
    }

    void startGated(int workers = 1) {
        start([this] { return gate_.makeRasterizer(); }, workers);
    }

    // Runs the event loop until count results have arrived. The deadline only stops a
    // broken queue from hanging the suite.
    void awaitDeliveries(std::size_t count) {
        const QDeadlineTimer deadline(std::chrono::minutes(1));
        while (deliveries_.size() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        ASSERT_EQ(deliveries_.size(), count);
    }

    std::vector<int> deliveredPages() const {
        std::vector<int> pages;
        for (const Delivery& d : deliveries_)
            pages.push_back(d.request.pageIndex);
        return pages;
    }

    RenderGate gate_;
    std::shared_ptr<ImageCache> cache_ = std::make_shared<ImageCache>(64 << 20);
    std::vector<Delivery> deliveries_;
    std::unique_ptr<RenderQueue> queue_;
};

TEST_F(RenderQueueTest, ServesTheNewestRequestFirst) {
    startGated();
    queue_->submit(requestFor(0));
    ASSERT_TRUE(gate_.awaitStarted(1));
    for (int page : {1, 2, 3})
        queue_->submit(requestFor(page));

    gate_.open();
    awaitDeliveries(4);

    EXPECT_EQ(gate_.startedPages(), (std::vector<int>{0, 3, 2, 1}));
    EXPECT_EQ(deliveredPages(), (std::vector<int>{0, 3, 2, 1}));
}

TEST_F(RenderQueueTest, NeverAnswersACancelledTicketWhetherQueuedOrRunning) {
    startGated();
    const quint64 running = queue_->submit(requestFor(0));
    ASSERT_TRUE(gate_.awaitStarted(1));
    const quint64 queued = queue_->submit(requestFor(1));
    const quint64 kept = queue_->submit(requestFor(2));

    queue_->cancel(running);
    queue_->cancel(queued);
    gate_.open();
    awaitDeliveries(1);

    EXPECT_EQ(deliveries_[0].ticket, kept);
    EXPECT_EQ(gate_.startedPages(), (std::vector<int>{0, 2}));
}

// A render that finishes despite cancelAll() belongs to an old state of the document; its
// picture must not reach the screen.
TEST_F(RenderQueueTest, DropsEverythingSubmittedBeforeCancelAllEvenAFinishedPicture) {
    gate_.ignoreCancellation();
    startGated();
    queue_->submit(requestFor(0));
    ASSERT_TRUE(gate_.awaitStarted(1));
    queue_->submit(requestFor(1));

    queue_->cancelAll();
    const quint64 fresh = queue_->submit(requestFor(2));
    gate_.open();
    awaitDeliveries(1);

    EXPECT_EQ(deliveries_[0].ticket, fresh);
    EXPECT_EQ(gate_.startedPages(), (std::vector<int>{0, 2}));
}

TEST_F(RenderQueueTest, AnswersFromTheCacheWithoutRenderingButNeverBeforeSubmitReturns) {
    gate_.open();
    startGated();
    queue_->submit(requestFor(0));
    awaitDeliveries(1);

    const quint64 again = queue_->submit(requestFor(0));
    EXPECT_TRUE(deliveries_.size() == 1);
    awaitDeliveries(2);

    EXPECT_EQ(deliveries_[1].ticket, again);
    EXPECT_FALSE(deliveries_[1].image.isNull());
    EXPECT_EQ(gate_.startedPages(), (std::vector<int>{0}));

    // A different pixel ratio is a different picture.
    queue_->submit(requestFor(0, 2.0));
    awaitDeliveries(3);
    EXPECT_EQ(gate_.startedPages(), (std::vector<int>{0, 0}));
}

TEST_F(RenderQueueTest, ReportsAFailedRenderWithItsMessage) {
    gate_.open();
    startGated();

    const quint64 ticket = queue_->submit(requestFor(99));
    awaitDeliveries(1);

    EXPECT_EQ(deliveries_[0].ticket, ticket);
    EXPECT_TRUE(deliveries_[0].image.isNull());
    EXPECT_EQ(deliveries_[0].error, QStringLiteral("no such page"));
}

TEST_F(RenderQueueTest, ShutsDownWhileRenderingWithoutAnswering) {
    startGated(2);
    queue_->submit(requestFor(0));
    queue_->submit(requestFor(1));
    ASSERT_TRUE(gate_.awaitStarted(2));
    queue_->submit(requestFor(2));

    queue_.reset();
    QCoreApplication::processEvents();

    EXPECT_TRUE(deliveries_.empty());
}

TEST_F(RenderQueueTest, RendersRealPagesOnSeveralWorkers) {
    TestPage page;
    page.content = "0 0 0 rg 0 0 100 100 re f";
    TestPdfBuilder builder;
    for (int i = 0; i < 6; ++i)
        builder.addPage(page);
    const PdfRenderSource source{PdfSourceData::fromBytes(builder.bytes()), {}};
    start([source] { return std::make_unique<MupdfRasterizer>(source); }, 2);

    for (int i = 0; i < 6; ++i)
        queue_->submit({i, QRectF(0, 0, 612, 792), 0, QSize(306, 396), 1.0});
    awaitDeliveries(6);

    for (const Delivery& d : deliveries_)
        EXPECT_TRUE(showsSquareIn(d.image, Corner::BottomLeft, 50)) << d.error.toStdString();
}

} // namespace
