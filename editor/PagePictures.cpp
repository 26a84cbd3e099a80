#include "editor/PagePictures.h"

#include "crop/CropSession.h"
#include "editor/PagePlaceholder.h"
#include "render/ImageCache.h"
#include "render/ImageCacheBudget.h"
#include "render/PageRenderResult.h"
#include "render/PageToImageTransform.h"
#include "render/RenderQueue.h"

PagePictures::PagePictures(CropSession& session, std::shared_ptr<const RenderWorkplace> workplace,
                           QObject* parent)
    : QObject(parent), session_(session), workplace_(std::move(workplace)),
      cache_(std::make_shared<ImageCache>(0)) {}

PagePictures::~PagePictures() = default;

void PagePictures::restart() {
    cache_->clear();
    firstPageStandIn_ = QImage();
    thumbnailTickets_.clear();
    thumbnailPages_.clear();
    lostOnce_.clear();
    pageView_ = {};
    // One maker for drawing and measuring, so both share the rewritten copy of a file the
    // renderer cannot read itself.
    maker_ = DocumentRasterizers::maker(session_.pdfDoc().renderSource(),
                                        session_.pdfDoc().filePageCount(), workplace_);
    queue_ = std::make_unique<RenderQueue>(maker_, cache_);
    connect(queue_.get(), &RenderQueue::rendered, this,
            [this](quint64 ticket, const PageRenderRequest& request, const QImage& image) {
                lostOnce_.remove(RenderKey(request));
                rendered(ticket, image);
            });
    connect(queue_.get(), &RenderQueue::failed, this, &PagePictures::failed);
}

void PagePictures::cancelAll() {
    queue_->cancelAll();
    thumbnailTickets_.clear();
    thumbnailPages_.clear();
    pageView_ = {};
}

void PagePictures::fitCacheTo(const QSize& strip, const QSize& pageArea, qreal devicePixelRatio) {
    cache_->setCapacityBytes(ImageCacheBudget::bytesFor(strip, pageArea, devicePixelRatio));
}

PageRenderRequest PagePictures::requestFor(qint64 index, const QSizeF& logicalSize,
                                           qreal devicePixelRatio, const QRect& part) const {
    const RMCropInfo& record = session_.cropsRect()[static_cast<size_t>(index)];
    PageRenderRequest request;
    request.pageIndex = session_.pdfDoc().filePageIndex(static_cast<int>(index));
    request.box = record.originalPageRect;
    request.rotation = static_cast<int>(record.pageRoation);
    request.pixelSize = (logicalSize * devicePixelRatio).toSize();
    request.devicePixelRatio = devicePixelRatio;
    if (!part.isEmpty()) {
        // The part of the page under part of the whole picture, drawn at the whole picture's
        // scale.
        const QRectF pixels(QPointF(part.topLeft()) * devicePixelRatio,
                            QSizeF(part.size()) * devicePixelRatio);
        request.box = pageToImageTransform(request.box, request.rotation, QSizeF(request.pixelSize))
                          .inverted()
                          .mapRect(pixels);
        request.pixelSize = pixels.size().toSize();
    }
    return request;
}

QImage PagePictures::knownPicture(qint64 index, const PageRenderRequest& request) const {
    // A page whose description is lost would come back white from the renderer.
    if (session_.pdfDoc().isPageDamaged(static_cast<int>(index))) {
        return PagePlaceholder::image(
            request.pixelSize, request.devicePixelRatio,
            tr("The page's description in the file is damaged; there is nothing to draw it "
               "from."));
    }
    return PagePlaceholder::noted(cache_->find(RenderKey(request)));
}

QImage PagePictures::pictureAtHand(qint64 index, const QSizeF& logicalSize,
                                   qreal devicePixelRatio) {
    const QImage known = knownPicture(index, requestFor(index, logicalSize, devicePixelRatio));
    return known.isNull() && index == 0 ? firstPageStandIn_ : known;
}

QImage PagePictures::picture(qint64 index, const QSizeF& logicalSize, qreal devicePixelRatio,
                             Use use, const QRect& part) {
    const PageRenderRequest request =
        requestFor(index, logicalSize, devicePixelRatio, use == Use::PagePart ? part : QRect());
    const QImage image = knownPicture(index, request);
    if (use != Use::Thumbnail) {
        // Asked again for the picture being drawn, as a repaint does, the view keeps waiting
        // for it: a second request would only draw it twice, or fail it twice when its
        // renderer is lost, which would cost the page its second chance.
        ViewRequest& view = pageView_[size_t(use)];
        const bool drawing = view.ticket != 0 && view.key == RenderKey(request);
        if (!image.isNull())
            view.ticket = 0;
        else if (!drawing)
            view.ticket = queue_->submit(request);
        view.key = RenderKey(request);
        view.index = index;
    } else if (image.isNull() && !thumbnailTickets_.contains(index)) {
        const quint64 ticket = queue_->submit(request);
        thumbnailTickets_.insert(index, ticket);
        thumbnailPages_.insert(ticket, index);
    }
    return image;
}

void PagePictures::failed(quint64 ticket, const PageRenderRequest& request,
                          const PageRenderResult& result) {
    const bool tryAgain = result.rendererLost && !lostOnce_.contains(RenderKey(request));
    const QImage placeholder = PagePlaceholder::image(
        request.pixelSize, request.devicePixelRatio,
        tryAgain ? result.error + QLatin1Char(' ') + tr("It is drawn again when shown again.")
                 : result.error);
    if (tryAgain)
        lostOnce_.insert(RenderKey(request));
    else
        cache_->insert(RenderKey(request), placeholder);
    rendered(ticket, placeholder);
}

void PagePictures::rendered(quint64 ticket, const QImage& image) {
    for (const Use use : {Use::Page, Use::PagePart}) {
        if (ViewRequest& view = pageView_[size_t(use)]; ticket != 0 && ticket == view.ticket) {
            view.ticket = 0;
            emit pictureReady(view.index, use, PagePlaceholder::noted(image));
            return;
        }
    }
    const auto page = thumbnailPages_.find(ticket);
    if (page == thumbnailPages_.end())
        return;
    const qint64 index = page.value();
    thumbnailPages_.erase(page);
    if (thumbnailTickets_.value(index) != ticket)
        return;
    thumbnailTickets_.remove(index);
    emit pictureReady(index, Use::Thumbnail, PagePlaceholder::noted(image));
}
