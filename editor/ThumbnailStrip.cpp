#include "editor/ThumbnailStrip.h"

#include "crop/CropSession.h"
#include "editor/ContentFitter.h"
#include "editor/PagePictures.h"
#include "editor/RMCollectionViewItem.h"
#include "platform/CollectionView.h"
#include "platform/CollectionViewFlowLayout.h"

#include <algorithm>

namespace {

const QString kItemIdentifier = QStringLiteral("RMCollectionViewItem");

} // namespace

ThumbnailStrip::ThumbnailStrip(CollectionView& view, CropSession& session, PagePictures& pictures,
                               ContentFitter& fitter, QObject* parent)
    : QObject(parent), view_(view), session_(session), pictures_(pictures), fitter_(fitter) {
    view_.registerItem(kItemIdentifier, [] { return new RMCollectionViewItem; });
    view_.setDelegate(this);
    view_.setDataSource(this);
    view_.setSelectable(true);
    view_.setAllowsEmptySelection(false);
    view_.setAllowsMultipleSelection(false);
    view_.collectionViewLayout()->minimumLineSpacing = 0;
    view_.collectionViewLayout()->sectionInset = QMarginsF();
    connect(&pictures_, &PagePictures::pictureReady, this,
            [this](qint64 index, PagePictures::Use use, const QImage& image) {
                if (use == PagePictures::Use::Thumbnail)
                    showPicture(index, image);
            });
}

ThumbnailStrip::~ThumbnailStrip() {
    view_.setDataSource(nullptr);
    view_.setDelegate(nullptr);
}

void ThumbnailStrip::reload() {
    batch_ = session_.isBatchCrop() ? session_.pageRangeArray() : std::vector<qint64>();
    const QSet<IndexPath> selected = view_.selectionIndexPaths();
    view_.reloadData();
    view_.selectItemsAtIndexPaths(selected, CollectionView::ScrollPosition::None);
}

void ThumbnailStrip::select(qint64 index, bool centred) {
    if (index < 0 || index >= static_cast<qint64>(session_.cropsRect().size()))
        return;
    view_.selectItemsAtIndexPaths({IndexPath{0, static_cast<int>(index)}},
                                  centred ? CollectionView::ScrollPosition::CenteredVertically
                                          : CollectionView::ScrollPosition::Top);
}

QSizeF ThumbnailStrip::imageSize(qint64 index) const {
    const QSizeF page = session_.cropsRect()[static_cast<size_t>(index)].pageRect.size();
    const QSizeF item = RMCollectionViewItem::sizeForThumb(page, view_.viewport()->width());
    return QSizeF(item.width() - 30, item.height() - 43);
}

RMCollectionViewItem* ThumbnailStrip::shownItem(qint64 index) const {
    return static_cast<RMCollectionViewItem*>(
        view_.itemAtIndexPath(IndexPath{0, static_cast<int>(index)}));
}

void ThumbnailStrip::showPicture(qint64 index, const QImage& image) {
    if (RMCollectionViewItem* item = shownItem(index))
        item->setPageImage(image);
}

void ThumbnailStrip::showCutsContent(qint64 index) {
    if (RMCollectionViewItem* item = shownItem(index))
        item->setCutsContent(fitter_.cutsContent(index));
}

int ThumbnailStrip::numberOfItemsInSection(CollectionView*, int) {
    return static_cast<int>(session_.cropsRect().size());
}

CollectionViewItem*
ThumbnailStrip::itemForRepresentedObjectAtIndexPath(CollectionView* view,
                                                    const IndexPath& indexPath) {
    auto* item = static_cast<RMCollectionViewItem*>(
        view->makeItemWithIdentifier(kItemIdentifier, indexPath));
    const RMCropInfo& record = session_.cropsRect()[static_cast<size_t>(indexPath.item)];
    item->setPDFImg(QImage(), record.cropRect, record.pageRect, indexPath.item);
    item->setCutsContent(fitter_.cutsContent(indexPath.item));
    item->setInBatch(std::binary_search(batch_.begin(), batch_.end(), indexPath.item + 1));
    item->setPageImage(pictures_.picture(indexPath.item, imageSize(indexPath.item),
                                         view_.devicePixelRatioF(), PagePictures::Use::Thumbnail));
    return item;
}

QSizeF ThumbnailStrip::sizeForItemAtIndexPath(CollectionView* view, CollectionViewFlowLayout*,
                                              const IndexPath& indexPath) {
    const QRectF& page = session_.cropsRect()[static_cast<size_t>(indexPath.item)].pageRect;
    return RMCollectionViewItem::sizeForThumb(page.size(), view->viewport()->width());
}

void ThumbnailStrip::willDisplayItem(CollectionView*, CollectionViewItem* item,
                                     const IndexPath& indexPath) {
    const RMCropInfo& record = session_.cropsRect()[static_cast<size_t>(indexPath.item)];
    static_cast<RMCollectionViewItem*>(item)->relayoutItemSubViewsWithPageCropRect(record.cropRect,
                                                                                   record.pageRect);
}

void ThumbnailStrip::didSelectItemsAtIndexPaths(CollectionView*,
                                                const QSet<IndexPath>& indexPaths) {
    if (!indexPaths.isEmpty())
        emit pagePicked(indexPaths.begin()->item);
}
