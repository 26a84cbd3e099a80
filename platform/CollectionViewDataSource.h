#pragma once

#include "platform/IndexPath.h"

class CollectionView;
class CollectionViewItem;

// What a collection view shows: how many rows, and an item for each row it is about to show.
// The view asks for an item only when its row comes into view (or on reloadData() for the rows
// in view); an implementation gets one from CollectionView::makeItemWithIdentifier() and sets
// its content for the row. The view keeps the item (it becomes the item's QObject parent).
//
// Not owned by the collection view, which must be given another data source (or none) before
// this one goes away. Called on the GUI thread only.
class CollectionViewDataSource {
public:
    virtual ~CollectionViewDataSource() = default;

    virtual int numberOfSectionsInCollectionView(CollectionView* collectionView) {
        Q_UNUSED(collectionView)
        return 1;
    }
    virtual int numberOfItemsInSection(CollectionView* collectionView, int section) = 0;
    virtual CollectionViewItem* itemForRepresentedObjectAtIndexPath(CollectionView* collectionView,
                                                                    const IndexPath& indexPath) = 0;
};
