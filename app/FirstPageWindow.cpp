#include "app/FirstPageWindow.h"

#include "crop/CropGeometry.h"
#include "editor/RMPDFImgView.h"
#include "render/ImageCache.h"
#include "render/MupdfRasterizer.h"
#include "render/RenderQueue.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr qsizetype kCacheBytes = 64 * 1024 * 1024;
const int kSquare = static_cast<int>(CropGeometry::kPageSquareSide);

} // namespace

FirstPageWindow::FirstPageWindow(std::unique_ptr<PdfDocument> document, QWidget* parent)
    : QWidget(parent), session_(std::move(document)) {
    const PdfRenderSource source = session_.pdfDoc().renderSource();
    queue_ = std::make_unique<RenderQueue>(
        [source] { return std::make_unique<MupdfRasterizer>(source); },
        std::make_shared<ImageCache>(kCacheBytes));

    auto* square = new QWidget(this);
    square->setFixedSize(kSquare, kSquare);
    pageView_ = new RMPDFImgView(square);
    pageView_->setIsCanEdit(true);
    pageView_->setDelegate(this);
    cropLabel_ = new QLabel(tr("Drag the dashed rectangle to crop the page."), this);
    cropLabel_->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 16);
    layout->addWidget(square, 0, Qt::AlignCenter);
    layout->addWidget(cropLabel_);
    setStyleSheet("FirstPageWindow { background: #2b2b2b; } QLabel { color: #d0d0d0; }");

    connect(queue_.get(), &RenderQueue::rendered, this,
            [this](quint64 ticket, const PageRenderRequest&, const QImage& image) {
                if (ticket != wantedTicket_)
                    return;
                const RMCropInfo& record = session_.cropsRect().front();
                const QRectF show = CropGeometry::mainPDFImgViewShowRect(record.pageRect);
                pageView_->setPageImg(image,
                                      CropGeometry::pdfImgViewCropRectWithShowRect(
                                          show, record.pageRect, record.cropRect),
                                      show);
            });
}

FirstPageWindow::~FirstPageWindow() {
    pageView_->setDelegate(nullptr);
}

void FirstPageWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    showPage();
}

void FirstPageWindow::showPage() {
    if (session_.cropsRect().empty())
        return;
    const RMCropInfo& record = session_.cropsRect().front();
    // The square is laid out y-up; the widget below counts y downward.
    const QRectF show = CropGeometry::mainPDFImgViewShowRect(record.pageRect);
    pageView_->setGeometry(
        QRectF(show.x(), kSquare - show.y() - show.height(), show.width(), show.height()).toRect());
    PageRenderRequest request;
    request.pageIndex = 0;
    request.box = record.originalPageRect;
    request.rotation = static_cast<int>(record.pageRoation);
    request.pixelSize = pageView_->imagePixelSize();
    request.devicePixelRatio = pageView_->devicePixelRatioF();
    queue_->cancelAll();
    wantedTicket_ = queue_->submit(request);
}

void FirstPageWindow::cropIsFinishedWithRect(const QRectF& rect) {
    const bool cropped = session_.cropIsFinishedWithRect(rect);
    const QRectF kept = CropGeometry::pageSpaceCropRect(session_.cropsRect().front());
    cropLabel_->setText(cropped ? tr("Kept: %1 × %2 pt at (%3, %4)")
                                      .arg(kept.width(), 0, 'f', 1)
                                      .arg(kept.height(), 0, 'f', 1)
                                      .arg(kept.x(), 0, 'f', 1)
                                      .arg(kept.y(), 0, 'f', 1)
                                : tr("The whole page is kept."));
}
