#include "editor/PageDisplay.h"

#include "crop/CropGeometry.h"
#include "crop/CropSession.h"
#include "editor/ContentFitter.h"
#include "editor/PageSquareFit.h"
#include "editor/RMPDFImgView.h"
#include "editor/SuperimposedPages.h"
#include "editor/ThumbnailStrip.h"

#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

namespace {

// How long the page area must keep its size, or the page its zoom, before the page is drawn
// again for it.
constexpr int kResizeSettleMs = 120;
// How long a zoomed page must rest after scrolling before the part in sight is drawn.
constexpr int kScrollSettleMs = 60;
// How long a page may take before the window says it is being drawn.
constexpr int kDrawingNoticeMs = 1000;
// The room around a zoomed page in the area.
constexpr int kZoomedMargin = 8;

} // namespace

PageDisplay::PageDisplay(CropSession& session, PagePictures& pictures, ContentFitter& fitter,
                         SuperimposedPages& superimposed, const ThumbnailStrip& strip,
                         RMPDFImgView& view, QScrollArea& pageArea, QLabel& status)
    : session_(session), pictures_(pictures), fitter_(fitter), superimposed_(superimposed),
      strip_(strip), view_(view), area_(pageArea), canvas_(*pageArea.widget()), status_(status) {
    area_.viewport()->installEventFilter(this);
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, &PageDisplay::sharpen);
    for (QScrollBar* bar : {area_.horizontalScrollBar(), area_.verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (!settle_.isActive())
                settle_.start(kScrollSettleMs);
        });
    drawing_.setSingleShot(true);
    drawing_.setInterval(kDrawingNoticeMs);
    connect(&drawing_, &QTimer::timeout, this, [this] {
        drawingSaid_ = true;
        status_.setText(tr("Drawing page %1…").arg(session_.currentIndex() + 1));
    });
    connect(&pictures_, &PagePictures::pictureReady, this, &PageDisplay::pictureReady);
    connect(&superimposed_, &SuperimposedPages::pictureChanged, &view_,
            &RMPDFImgView::setPageImage);
    connect(&superimposed_, &SuperimposedPages::progress, &status, [&status](int drawn, int total) {
        status.setText(drawn < total ? tr("Superimposing: %1 of %2 pages").arg(drawn).arg(total)
                                     : QString());
    });
}

void PageDisplay::show() {
    // A locked document has no pages to show until its password is given.
    view_.setVisible(!session_.cropsRect().empty());
    if (session_.cropsRect().empty())
        return;
    const qint64 index = session_.currentIndex();
    const RMCropInfo& record = session_.currentRecord();
    const QRectF show = showRect();
    layout();
    // Until the sharp picture arrives, the thumbnail stands in for it, stretched.
    const QImage image =
        pictures_.pictureAtHand(index, strip_.imageSize(index), view_.devicePixelRatioF());
    view_.setPageImg(
        image, CropGeometry::pdfImgViewCropRectWithShowRect(show, record.pageRect, record.cropRect),
        show);
    showContent();
    sharpen();
}

void PageDisplay::showContent() {
    if (session_.cropsRect().empty())
        return;
    const RMCropInfo& record = session_.currentRecord();
    std::optional<QRectF> shown;
    if (const auto content = fitter_.contentOf(session_.currentIndex())) {
        if (const auto display = CropGeometry::displaySpaceRect(record, *content)) {
            shown =
                CropGeometry::pdfImgViewCropRectWithShowRect(showRect(), record.pageRect, *display);
        }
    }
    view_.setContentBounds(shown);
}

void PageDisplay::setSuperimposing(bool on) {
    superimposing_ = on;
    // Turned on, the current page's picture stays until the blend of the batch replaces it.
    if (on) {
        sharpen();
        return;
    }
    superimposed_.stop();
    show();
}

double PageDisplay::shownScale() const {
    if (session_.cropsRect().empty())
        return 1.0;
    const double across = session_.currentRecord().pageRect.width() * actualPixelsPerPoint();
    return across > 0 ? view_.width() / across : 1.0;
}

void PageDisplay::zoomIn() {
    zoomAround(cropCentre(), [this] { zoom_.zoomIn(shownScale()); });
}

void PageDisplay::zoomOut() {
    zoomAround(cropCentre(), [this] { zoom_.zoomOut(shownScale()); });
}

void PageDisplay::fitPage() {
    zoomAround(cropCentre(), [this] { zoom_.fitPage(); });
}

void PageDisplay::fitWidth() {
    zoomAround(cropCentre(), [this] { zoom_.fitWidth(); });
}

void PageDisplay::actualSize() {
    zoomAround(cropCentre(), [this] { zoom_.setScale(1.0); });
}

void PageDisplay::zoomBy(double factor, const QPoint& anchor) {
    zoomAround(anchor, [this, factor] { zoom_.setScale(shownScale() * factor); });
}

void PageDisplay::zoomAround(const QPoint& anchor, const std::function<void()>& change) {
    if (session_.cropsRect().empty())
        return;
    const QPointF inView = view_.mapFrom(area_.viewport(), QPointF(anchor));
    const QPointF share(inView.x() / view_.width(), inView.y() / view_.height());
    const QSize before = view_.size();
    change();
    layout();
    if (view_.size() == before)
        return;
    const QPointF now =
        QPointF(view_.pos()) + QPointF(share.x() * view_.width(), share.y() * view_.height());
    area_.horizontalScrollBar()->setValue(qRound(now.x() - anchor.x()));
    area_.verticalScrollBar()->setValue(qRound(now.y() - anchor.y()));
    // The picture stretched to the new size stands in until the zoom has settled.
    settle_.start(kResizeSettleMs);
}

QPoint PageDisplay::cropCentre() const {
    const QPointF centre = view_.cropMarker().selectedRect().center();
    return view_.mapTo(area_.viewport(), QPointF(centre.x(), view_.height() - centre.y()))
        .toPoint();
}

bool PageDisplay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_.viewport() && event->type() == QEvent::Resize) {
        emit areaResized();
        layout();
        // The stretched picture stands in while the window is being resized; the sharp one
        // is drawn once the size has settled.
        settle_.start(kResizeSettleMs);
    }
    return QObject::eventFilter(watched, event);
}

QRectF PageDisplay::showRect() const {
    return CropGeometry::mainPDFImgViewShowRect(session_.currentRecord().pageRect);
}

double PageDisplay::actualPixelsPerPoint() const {
    return view_.logicalDpiX() / 72.0;
}

QRect PageDisplay::fittedFrame() const {
    return PageSquareFit(area_.maximumViewportSize()).frameForShowRect(showRect());
}

void PageDisplay::layout() {
    if (session_.cropsRect().empty())
        return;
    const QSize area = area_.maximumViewportSize();
    const QRect fitted = fittedFrame();
    if (zoom_.fit() == PageZoom::Fit::Page) {
        canvas_.resize(area);
        view_.setGeometry(fitted);
        return;
    }
    const int bar = area_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &area_);
    const QSize margins(2 * kZoomedMargin, 2 * kZoomedMargin);
    const QSize size = zoom_.viewSize(session_.currentRecord().pageRect.size(),
                                      actualPixelsPerPoint(), area - margins, fitted.size(), bar);
    // Scroll bars take room only where the page needs them.
    const bool tall = size.height() + margins.height() > area.height();
    const bool wide = size.width() + margins.width() > area.width() - (tall ? bar : 0);
    const QSize room(area.width() - (tall ? bar : 0), area.height() - (wide ? bar : 0));
    const QSize canvas = (size + margins).expandedTo(room);
    canvas_.resize(canvas);
    view_.setGeometry(QRect(
        QPoint((canvas.width() - size.width()) / 2, (canvas.height() - size.height()) / 2), size));
}

QRect PageDisplay::sight() const {
    const QWidget* viewport = area_.viewport();
    return QRect(view_.mapFrom(viewport, QPoint(0, 0)), viewport->size()) & view_.rect();
}

void PageDisplay::sharpen() {
    if (session_.cropsRect().empty())
        return;
    const QSize viewport = area_.viewport()->size();
    // A page larger than the area is drawn whole at its fitted size, and sharp in sight.
    const bool inParts = view_.width() > viewport.width() || view_.height() > viewport.height();
    const QSize whole = inParts ? fittedFrame().size() : view_.size();
    if (superimposing_) {
        endDrawingNotice();
        pictures_.dropPageRequests();
        view_.setPagePart({}, {});
        superimposed_.compose(whole);
        return;
    }
    const qint64 index = session_.currentIndex();
    const qreal ratio = view_.devicePixelRatioF();
    const QImage image = pictures_.picture(index, whole, ratio, PagePictures::Use::Page);
    if (!image.isNull())
        view_.setPageImage(image);
    bool waiting = image.isNull();
    partAsked_ = QRect();
    if (const QRect seen = sight(); inParts && !view_.pagePart().contains(seen)) {
        // A quarter of the area more on every side, so that a short scroll finds it drawn.
        const QSize more = viewport / 4;
        partAsked_ = seen.adjusted(-more.width(), -more.height(), more.width(), more.height()) &
                     view_.rect();
        partViewSize_ = view_.size();
        const QImage part =
            pictures_.picture(index, view_.size(), ratio, PagePictures::Use::PagePart, partAsked_);
        if (!part.isNull())
            view_.setPagePart(part, partAsked_);
        waiting = waiting || part.isNull();
    }
    if (!waiting)
        endDrawingNotice();
    else if (!drawing_.isActive())
        drawing_.start();
}

void PageDisplay::pictureReady(qint64 index, PagePictures::Use use, const QImage& image) {
    if (index != session_.currentIndex() || superimposing_)
        return;
    if (use == PagePictures::Use::Page) {
        endDrawingNotice();
        view_.setPageImage(image);
    } else if (use == PagePictures::Use::PagePart && view_.size() == partViewSize_ &&
               !partAsked_.isEmpty()) {
        endDrawingNotice();
        view_.setPagePart(image, partAsked_);
    }
}

void PageDisplay::endDrawingNotice() {
    drawing_.stop();
    if (drawingSaid_) {
        drawingSaid_ = false;
        status_.clear();
    }
}
