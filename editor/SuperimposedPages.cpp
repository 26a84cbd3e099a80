#include "editor/SuperimposedPages.h"

#include "crop/CropGeometry.h"
#include "crop/CropSession.h"
#include "crop/PageSelection.h"
#include "render/ImageCache.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kShowIntervalMs = 50;
// The longest side of the picture, in pixels. A guide to crop by needs no more, and the time
// to draw sixty-four pages grows with their pixels: in a large window the view stretches it.
constexpr int kMaxPictureSide = 800;

// limit of pages (ascending, current among them) spread evenly from the first to the last,
// with current in place of the sampled page nearest to it when it is not sampled itself.
std::vector<qint64> spread(const std::vector<qint64>& pages, qint64 current, size_t limit) {
    if (pages.size() <= limit)
        return pages;
    // More pages than samples: each step is over a page long, so no page is taken twice.
    const double step = static_cast<double>(pages.size() - 1) / static_cast<double>(limit - 1);
    std::vector<qint64> sample;
    for (size_t i = 0; i < limit; ++i)
        sample.push_back(pages[static_cast<size_t>(std::lround(static_cast<double>(i) * step))]);
    if (!std::binary_search(sample.begin(), sample.end(), current)) {
        // The first and last stay. current lies between two neighbours in the sample, so
        // taking the place of the nearer one keeps the sample ascending.
        auto nearest =
            std::min_element(sample.begin() + 1, sample.end() - 1, [current](qint64 a, qint64 b) {
                return std::abs(a - current) < std::abs(b - current);
            });
        *nearest = current;
    }
    return sample;
}

} // namespace

SuperimposedPages::SuperimposedPages(CropSession& session, QObject* parent)
    : QObject(parent), session_(session), cache_(std::make_shared<ImageCache>(0)) {
    // Each picture handed over costs the GUI thread a conversion and a repaint of the page
    // view; while pages keep coming, a few a second show it building up.
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(kShowIntervalMs);
    connect(&showTimer_, &QTimer::timeout, this, &SuperimposedPages::showPicture);
    connect(&compositor_, &PageCompositor::composed, this, &SuperimposedPages::pictureComposed);
}

SuperimposedPages::~SuperimposedPages() = default;

void SuperimposedPages::setRasterizerFactory(RenderQueue::RasterizerFactory factory) {
    stop();
    forget();
    queue_.reset();
    factory_ = std::move(factory);
}

void SuperimposedPages::compose(const QSize& viewSize) {
    std::vector<qint64> batch = session_.pageRangeArray();
    const qint64 current = session_.currentIndex() + 1;
    PageSelection::addPageNum(current, batch);
    pages_ = spread(batch, current, kMaxPages);
    QSize size = viewSize;
    if (std::max(size.width(), size.height()) > kMaxPictureSide)
        size.scale(kMaxPictureSide, kMaxPictureSide, Qt::KeepAspectRatio);
    std::vector<PageRenderRequest> requests = requestsFor(size);
    std::vector<RenderKey> keys;
    for (const PageRenderRequest& request : requests)
        keys.emplace_back(request);
    if (keys == keys_ && size == size_) {
        showPicture();
        emit progress(answered(), static_cast<int>(keys_.size()));
        return;
    }
    stop();
    forget();
    keys_ = std::move(keys);
    size_ = size;
    generation_ = compositor_.begin(size, 1.0);
    if (!queue_) {
        queue_ = std::make_unique<RenderQueue>(factory_, cache_);
        connect(queue_.get(), &RenderQueue::rendered, this, &SuperimposedPages::pageRendered);
        connect(queue_.get(), &RenderQueue::failed, this, &SuperimposedPages::pageFailed);
    }
    // The queue serves the newest first: the current page, submitted last, comes first.
    const int currentFilePage = session_.pdfDoc().filePageIndex(static_cast<int>(current - 1));
    std::stable_partition(requests.begin(), requests.end(), [currentFilePage](const auto& request) {
        return request.pageIndex != currentFilePage;
    });
    for (const PageRenderRequest& request : requests)
        tickets_.insert(queue_->submit(request));
    emit progress(0, static_cast<int>(keys_.size()));
}

void SuperimposedPages::stop() {
    if (queue_)
        queue_->cancelAll();
    tickets_.clear();
    compositor_.end();
    if (!isComplete())
        forget();
    emit progress(0, 0);
}

void SuperimposedPages::forget() {
    showTimer_.stop();
    keys_.clear();
    size_ = QSize();
    blended_ = 0;
    skipped_ = 0;
    picture_ = QImage();
}

std::vector<PageRenderRequest> SuperimposedPages::requestsFor(const QSize& size) const {
    const auto& records = session_.cropsRect();
    const QSizeF shown = records[static_cast<size_t>(session_.currentIndex())].pageRect.size();
    std::vector<PageRenderRequest> requests;
    if (shown.isEmpty() || size.isEmpty())
        return requests;
    const double xScale = size.width() / shown.width();
    const double yScale = size.height() / shown.height();
    for (qint64 n : pages_) {
        RMCropInfo record = records[static_cast<size_t>(n - 1)];
        // The part of the page over the current one: its top-left corner, in display space
        // (y up), turned back into page space as a crop would be.
        const double width = std::min(record.pageRect.width(), shown.width());
        const double height = std::min(record.pageRect.height(), shown.height());
        const QSize pixels(qRound(width * xScale), qRound(height * yScale));
        if (pixels.isEmpty())
            continue;
        record.cropRect = QRectF(0, record.pageRect.height() - height, width, height);
        requests.push_back({session_.pdfDoc().filePageIndex(static_cast<int>(n - 1)),
                            CropGeometry::pageSpaceCropRect(record),
                            static_cast<int>(record.pageRoation), pixels, 1.0});
    }
    return requests;
}

void SuperimposedPages::pageRendered(quint64 ticket, const PageRenderRequest&,
                                     const QImage& image) {
    if (tickets_.remove(ticket))
        compositor_.add(generation_, image);
}

void SuperimposedPages::pageFailed(quint64 ticket) {
    if (!tickets_.remove(ticket))
        return;
    ++skipped_;
    pictureGrew();
}

void SuperimposedPages::pictureComposed(const QImage& picture, int pages) {
    picture_ = picture;
    blended_ = pages;
    pictureGrew();
}

void SuperimposedPages::pictureGrew() {
    if (isComplete()) {
        showTimer_.stop();
        showPicture();
    } else if (!showTimer_.isActive()) {
        // The first picture after a pause at once; those that follow within the interval
        // wait for the timer, which shows the latest.
        showPicture();
        showTimer_.start();
    }
    emit progress(answered(), static_cast<int>(keys_.size()));
}

void SuperimposedPages::showPicture() {
    if (!picture_.isNull())
        emit pictureChanged(picture_);
}
