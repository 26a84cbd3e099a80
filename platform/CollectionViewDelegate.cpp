#include "platform/CollectionViewDelegate.h"
#include "platform/CollectionViewFlowLayout.h"

QSizeF CollectionViewDelegate::sizeForItemAtIndexPath(CollectionView*,
                                                      CollectionViewFlowLayout* layout,
                                                      const IndexPath&) {
    return layout ? layout->itemSize : QSizeF();
}

void CollectionViewDelegate::willDisplayItem(CollectionView*, CollectionViewItem*,
                                             const IndexPath&) {}

void CollectionViewDelegate::didSelectItemsAtIndexPaths(CollectionView*, const QSet<IndexPath>&) {}

void CollectionViewDelegate::didDeselectItemsAtIndexPaths(CollectionView*, const QSet<IndexPath>&) {
}
