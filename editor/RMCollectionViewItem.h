#pragma once

#include "platform/CollectionViewItem.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>

#include <memory>

class QLabel;

namespace Ui {
class RMCollectionViewItem;
}

// One page of the thumbnail strip: the page image with its crop shown on it (dimmed outside,
// dashed outline, no handles), the page number under it, and a coloured frame when selected.
//
// Geometry, for a strip W wide: the item is W wide; the coloured frame (backView) is inset 12
// from the left, right and top and 25 from the bottom; the page image is inset 3 inside it,
// so it is W - 30 wide and the item is 43 higher than the image. The number sits centred in
// the bottom margin, 3 below the frame.
//
// GUI thread only.
class RMCollectionViewItem : public CollectionViewItem {
    Q_OBJECT

public:
    explicit RMCollectionViewItem(QObject* parent = nullptr);
    ~RMCollectionViewItem() override;

    // The size of the item for a page of displayed size pageSize in a strip W wide. A page with
    // no width has no image height, so its item is only the frame's margins high.
    static QSizeF sizeForThumb(const QSizeF& pageSize, double collectionViewWidth);
    // The size of the page image in this item, from the item's current width.
    QSizeF pdfImgRectwithPageSize(const QSizeF& pageSize) const;
    // The page's crop (display space) in the item's page image; empty for a page with no width.
    QRectF thumbCropRectwithPageCropRect(const QRectF& crop, const QRectF& page) const;

    void setPDFImg(const QImage& image, const QRectF& pageCropRect, const QRectF& pageRect,
                   qint64 pageIndex);
    // The image alone, when a sharper or later rendering of the same page arrives.
    void setPageImage(const QImage& image);
    void relayoutItemSubViewsWithPageCropRect(const QRectF& crop, const QRectF& page);
    void setSelected(bool selected) override;
    // The warning badge in the thumbnail's corner: the page's crop cuts through its content.
    void setCutsContent(bool cuts);
    bool cutsContent() const;
    // The mark beside the thumbnail: a batch crop changes the page.
    void setInBatch(bool inBatch);
    bool isInBatch() const;

    qint64 pageIndex() const { return pageIndex_; }
    QRectF pageCropRect() const { return pageCropRect_; }
    QRectF pageRect() const { return pageRect_; }
    QRectF cropRect() const { return cropRect_; }
    QString pageLabelText() const;
    QRectF pageLabelFrame() const;
    QColor backColor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Places the frame, the page image and the label in the item's current size.
    void layoutSubviews();
    // Shows the stored page and crop in the page image, as every layout pass does.
    void viewDidLayout();

    std::unique_ptr<Ui::RMCollectionViewItem> ui_;
    QImage pdfImg_;
    QRectF pageCropRect_;
    QRectF pageRect_;
    QRectF cropRect_;
    qint64 pageIndex_ = 0;
    QSizeF labelSize_;
    QLabel* cutBadge_;
    QLabel* batchMark_;
};
