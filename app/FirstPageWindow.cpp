#include "app/FirstPageWindow.h"

#include "render/ImageCache.h"
#include "render/MupdfRasterizer.h"
#include "render/RenderQueue.h"

#include <QPainter>

namespace {

constexpr qsizetype kCacheBytes = 64 * 1024 * 1024;
constexpr int kMargin = 16;

} // namespace

FirstPageWindow::FirstPageWindow(std::unique_ptr<PdfDocument> document, QWidget* parent)
    : QWidget(parent), document_(std::move(document)) {
    const PdfRenderSource source = document_->renderSource();
    queue_ = std::make_unique<RenderQueue>(
        [source] { return std::make_unique<MupdfRasterizer>(source); },
        std::make_shared<ImageCache>(kCacheBytes));
    connect(queue_.get(), &RenderQueue::rendered, this,
            [this](quint64 ticket, const PageRenderRequest&, const QImage& image) {
                if (ticket != wantedTicket_)
                    return;
                image_ = image;
                update();
            });
    const QSizeF box = document_->boundsForBox(0, PdfBox::Crop).size();
    const int rotation = document_->rotation(0);
    displayedSize_ = rotation == 90 || rotation == 270 ? box.transposed() : box;
    setMinimumSize(320, 320);
    resize(640, 800);
}

FirstPageWindow::~FirstPageWindow() = default;

QRectF FirstPageWindow::pageFrame() const {
    const QSizeF page = displayedSize_;
    const QRectF area = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
    if (page.isEmpty() || area.isEmpty())
        return {};
    const QSizeF fitted = page.scaled(area.size(), Qt::KeepAspectRatio);
    return QRectF(area.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
}

void FirstPageWindow::requestImage() {
    const QRectF frame = pageFrame();
    if (frame.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    PageRenderRequest request;
    request.pageIndex = 0;
    request.box = document_->boundsForBox(0, PdfBox::Crop);
    request.rotation = document_->rotation(0);
    request.pixelSize = (frame.size() * ratio).toSize();
    request.devicePixelRatio = ratio;
    queue_->cancelAll();
    wantedTicket_ = queue_->submit(request);
}

void FirstPageWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    requestImage();
}

void FirstPageWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x3a, 0x3a, 0x3a));
    const QRectF frame = pageFrame();
    if (image_.isNull()) {
        painter.fillRect(frame, Qt::white);
        return;
    }
    // Until the image for the new size arrives, the previous one is stretched into place.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(frame, image_);
}
