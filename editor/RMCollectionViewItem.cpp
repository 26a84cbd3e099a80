#include "editor/RMCollectionViewItem.h"

#include "editor/PagePlaceholder.h"
#include "ui/WarningSign.h"
#include "ui_RMCollectionViewItem.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>

namespace {

constexpr double kFrameInset = 12;
constexpr double kFrameBottomInset = 25;
constexpr double kImageInset = 3;
constexpr double kLabelGap = 3;
constexpr int kLabelFontSize = 12;
constexpr int kBadgeSide = 18;
const QColor kSelectionColor(100, 119, 247);
const QColor kBatchMarkColor(0x4f, 0xc3, 0x8a);
constexpr int kBatchMarkWidth = 4;

double imageWidth(double itemWidth) {
    return itemWidth - 2 * kFrameInset - 2 * kImageInset;
}

double imageHeight(const QSizeF& page, double width) {
    return page.width() > 0 ? page.height() * width / page.width() : 0;
}

} // namespace

RMCollectionViewItem::RMCollectionViewItem(QObject* parent)
    : CollectionViewItem(parent), ui_(std::make_unique<Ui::RMCollectionViewItem>()) {
    auto* view = new QWidget;
    ui_->setupUi(view);
    cutBadge_ = new QLabel(view);
    batchMark_ = new QLabel(view);
    ui_->pageImageView->cropMarker().setIsDrawingHandles(false);
    // Presses on the page go through to the strip, which selects the item.
    ui_->pageImageView->setIsCanEdit(false);
    ui_->pageImageView->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui_->pageLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    // Pixels, as the buttons' titles are sized.
    QFont font = ui_->pageLabel->font();
    font.setPixelSize(kLabelFontSize);
    ui_->pageLabel->setFont(font);
    cutBadge_->setToolTip(tr("The crop cuts through content on this page"));
    cutBadge_->hide();
    batchMark_->setStyleSheet(
        QStringLiteral("background: %1; border-radius: 2px;").arg(kBatchMarkColor.name()));
    batchMark_->setToolTip(tr("In the batch: a batch crop changes this page"));
    batchMark_->hide();
    view->installEventFilter(this);
    setView(view);
    setSelected(false);
}

RMCollectionViewItem::~RMCollectionViewItem() = default;

QSizeF RMCollectionViewItem::sizeForThumb(const QSizeF& pageSize, double collectionViewWidth) {
    const double height = imageHeight(pageSize, imageWidth(collectionViewWidth));
    return QSizeF(collectionViewWidth,
                  height + kFrameInset + kImageInset + kImageInset + kFrameBottomInset);
}

QSizeF RMCollectionViewItem::pdfImgRectwithPageSize(const QSizeF& pageSize) const {
    const double width = imageWidth(view()->width());
    return QSizeF(width, imageHeight(pageSize, width));
}

QRectF RMCollectionViewItem::thumbCropRectwithPageCropRect(const QRectF& crop,
                                                           const QRectF& page) const {
    const double width = pdfImgRectwithPageSize(page.size()).width();
    if (!(page.width() > 0) || !(width > 0))
        return QRectF();
    const double f = page.width() / width;
    return QRectF(crop.x() / f, crop.y() / f, crop.width() / f, crop.height() / f);
}

void RMCollectionViewItem::setPDFImg(const QImage& image, const QRectF& pageCropRect,
                                     const QRectF& pageRect, qint64 pageIndex) {
    pdfImg_ = image;
    pageIndex_ = pageIndex;
    pageCropRect_ = pageCropRect;
    pageRect_ = pageRect;
    ui_->pageLabel->setText(pageLabelText());
    QFont font = ui_->pageLabel->font();
    const QSizeF text = QFontMetricsF(font).size(Qt::TextSingleLine, pageLabelText());
    labelSize_ = QSizeF(text.width() + 16, text.height() + 4);
    layoutSubviews();
    viewDidLayout();
}

void RMCollectionViewItem::setPageImage(const QImage& image) {
    pdfImg_ = image;
    // The page picture lets mouse events through to the strip, so the item says it.
    view()->setToolTip(image.isNull() ? tr("Page %1 is being drawn.").arg(pageIndex_ + 1)
                                      : PagePlaceholder::toolTipOf(image));
    viewDidLayout();
}

void RMCollectionViewItem::relayoutItemSubViewsWithPageCropRect(const QRectF&, const QRectF&) {
    layoutSubviews();
}

void RMCollectionViewItem::setSelected(bool selected) {
    CollectionViewItem::setSelected(selected);
    const QColor color = selected ? kSelectionColor : QColor(Qt::transparent);
    ui_->backView->setBackColor(color);
    ui_->pageLabel->setStyleSheet(
        QStringLiteral("background: %1; border: none; color: #e6e6e6; border-radius: 3px;")
            .arg(color.name(QColor::HexArgb)));
}

void RMCollectionViewItem::setCutsContent(bool cuts) {
    if (cuts && cutBadge_->pixmap().isNull())
        cutBadge_->setPixmap(WarningSign::pixmap(kBadgeSide, view()->devicePixelRatioF()));
    cutBadge_->setVisible(cuts);
}

bool RMCollectionViewItem::cutsContent() const {
    return cutBadge_->isVisibleTo(view());
}

void RMCollectionViewItem::setInBatch(bool inBatch) {
    batchMark_->setVisible(inBatch);
}

bool RMCollectionViewItem::isInBatch() const {
    return batchMark_->isVisibleTo(view());
}

QString RMCollectionViewItem::pageLabelText() const {
    return QString::number(pageIndex_ + 1);
}

QRectF RMCollectionViewItem::pageLabelFrame() const {
    return ui_->pageLabel->geometry();
}

QColor RMCollectionViewItem::backColor() const {
    return ui_->backView->backColor();
}

bool RMCollectionViewItem::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::Resize) {
        layoutSubviews();
        viewDidLayout();
    }
    return CollectionViewItem::eventFilter(watched, event);
}

void RMCollectionViewItem::layoutSubviews() {
    const QSizeF size = view()->size();
    const QRectF frame(kFrameInset, kFrameInset, size.width() - 2 * kFrameInset,
                       size.height() - kFrameInset - kFrameBottomInset);
    ui_->backView->setGeometry(frame.toRect());
    ui_->pageImageView->setGeometry(QRectF(kImageInset, kImageInset,
                                           frame.width() - 2 * kImageInset,
                                           frame.height() - 2 * kImageInset)
                                        .toRect());
    const QPointF labelAt((size.width() - labelSize_.width()) / 2, frame.bottom() + kLabelGap);
    ui_->pageLabel->setGeometry(QRectF(labelAt, labelSize_).toRect());
    // On the page's top right corner, over the picture.
    cutBadge_->setGeometry(int(frame.right()) - kBadgeSide - 6, int(frame.top()) + 6, kBadgeSide,
                           kBadgeSide);
    cutBadge_->raise();
    // A stripe down the page's left, in the margin outside the selection's frame.
    batchMark_->setGeometry(int(frame.left()) - kBatchMarkWidth - 3, int(frame.top()),
                            kBatchMarkWidth, int(frame.height()));
}

void RMCollectionViewItem::viewDidLayout() {
    cropRect_ = thumbCropRectwithPageCropRect(pageCropRect_, pageRect_);
    ui_->pageImageView->setPageImg(pdfImg_, cropRect_,
                                   QRectF(QPointF(), pdfImgRectwithPageSize(pageRect_.size())));
}
