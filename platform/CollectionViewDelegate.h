#pragma once

#include "platform/IndexPath.h"

#include <QSet>
#include <QSizeF>

class CollectionView;
class CollectionViewFlowLayout;
class CollectionViewItem;

// Optional answers and reports for a collection view; every method has a default.
//
// Selection reports come for the user's selections only (clicks and keys), never for
// selections the program makes: deselections first, then selections.
// willDisplayItem comes just before an item's widget is shown for a row; it must not reload or
// delete rows.
//
// Not owned by the collection view, which must be given another delegate (or none) before this
// one goes away. Called on the GUI thread only.
class CollectionViewDelegate {
public:
    virtual ~CollectionViewDelegate() = default;

    // The size of an item, in points. Asked once per row whenever the layout is recomputed.
    // The default is the layout's itemSize.
    virtual QSizeF sizeForItemAtIndexPath(CollectionView* collectionView,
                                          CollectionViewFlowLayout* layout,
                                          const IndexPath& indexPath);
    virtual void willDisplayItem(CollectionView* collectionView, CollectionViewItem* item,
                                 const IndexPath& indexPath);
    virtual void didSelectItemsAtIndexPaths(CollectionView* collectionView,
                                            const QSet<IndexPath>& indexPaths);
    virtual void didDeselectItemsAtIndexPaths(CollectionView* collectionView,
                                              const QSet<IndexPath>& indexPaths);
};
