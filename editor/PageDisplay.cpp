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

namespace {

// How long the page area must keep its size before the page is drawn again for it.
constexpr int kResizeSettleMs = 120;
// How long a page may take before the window says it is being drawn.
constexpr int kDrawingNoticeMs = 1000;

} // namespace

PageDisplay::PageDisplay(CropSession& session, PagePictures& pictures, ContentFitter& fitter,
                         SuperimposedPages& superimposed, const ThumbnailStrip& strip,
                         RMPDFImgView& view, QWidget& pageArea, QLabel& status)
    : session_(session), pictures_(pictures), fitter_(fitter), superimposed_(superimposed),
      strip_(strip), view_(view), area_(pageArea), status_(status) {
    area_.installEventFilter(this);
    resizeSettle_.setSingleShot(true);
    resizeSettle_.setInterval(kResizeSettleMs);
    connect(&resizeSettle_, &QTimer::timeout, this, &PageDisplay::sharpen);
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

bool PageDisplay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &area_ && event->type() == QEvent::Resize) {
        emit areaResized();
        layout();
        // The stretched picture stands in while the window is being resized; the sharp one
        // is drawn once the size has settled.
        resizeSettle_.start();
    }
    return QObject::eventFilter(watched, event);
}

QRectF PageDisplay::showRect() const {
    return CropGeometry::mainPDFImgViewShowRect(session_.currentRecord().pageRect);
}

void PageDisplay::layout() {
    if (session_.cropsRect().empty())
        return;
    const PageSquareFit fit(area_.size());
    view_.setGeometry(fit.frameForShowRect(showRect()));
}

void PageDisplay::sharpen() {
    if (session_.cropsRect().empty())
        return;
    if (superimposing_) {
        endDrawingNotice();
        pictures_.dropPageRequest();
        superimposed_.compose(view_.size());
        return;
    }
    const QImage image = pictures_.picture(session_.currentIndex(), view_.size(),
                                           view_.devicePixelRatioF(), PagePictures::Use::Page);
    if (image.isNull()) {
        if (!drawing_.isActive())
            drawing_.start();
        return;
    }
    endDrawingNotice();
    view_.setPageImage(image);
}

void PageDisplay::pictureReady(qint64 index, PagePictures::Use use, const QImage& image) {
    if (use == PagePictures::Use::Page && index == session_.currentIndex()) {
        endDrawingNotice();
        view_.setPageImage(image);
    }
}

void PageDisplay::endDrawingNotice() {
    drawing_.stop();
    if (drawingSaid_) {
        drawingSaid_ = false;
        status_.clear();
    }
}
