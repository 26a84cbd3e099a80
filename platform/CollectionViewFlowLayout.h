#pragma once

#include "platform/CollectionViewLayoutAttributes.h"

#include <QMarginsF>
#include <QObject>
#include <QSizeF>

#include <memory>
#include <optional>
#include <vector>

class CollectionView;

// Places a collection view's items in lines: left to right at the minimum spacing, a new line
// when the next item would pass the right edge of the section (an item wider than that gets a
// line of its own), lines top to bottom. Items shorter than their line sit in its vertical
// middle. Sections follow each other downward, each inside its sectionInset; an empty section
// takes no room. The content is as wide as the collection view's viewport.
//
// Frames are computed once per invalidation, asking the delegate for every item's size, and
// kept; a query for a rectangle then costs a binary search over the lines plus the items it
// returns, so long lists stay cheap to scroll. A change of the viewport's width or of the
// public settings below recomputes the frames by itself on the next query; call
// invalidateLayout() after changing settings while the view is shown, so it places its items
// again at once.
//
// Subclasses may override the two queries to move elements; the collection view places its
// item widgets from layoutAttributesForElementsInRect() for the rectangle it shows.
//
// Owned by the collection view it is set on (collectionView()). GUI thread only.
class CollectionViewFlowLayout : public QObject {
    Q_OBJECT

public:
    explicit CollectionViewFlowLayout(QObject* parent = nullptr);
    ~CollectionViewFlowLayout() override;

    // All in points.
    QSizeF itemSize{50, 50};
    double minimumLineSpacing = 10;
    double minimumInteritemSpacing = 10;
    QMarginsF sectionInset;

    // The elements whose frames intersect rect (content coordinates), in index path order.
    virtual std::vector<CollectionViewLayoutAttributes>
    layoutAttributesForElementsInRect(const QRectF& rect) const;
    // nullopt for an index path the collection view does not have.
    virtual std::optional<CollectionViewLayoutAttributes>
    layoutAttributesForItemAtIndexPath(const IndexPath& indexPath) const;
    QSizeF collectionViewContentSize() const;

    CollectionView* collectionView() const { return collectionView_; }
    // Drops the kept frames (they are computed again, sizes included, on the next query) and
    // has the collection view place its items again.
    void invalidateLayout();

signals:
    void invalidated();

private:
    friend class CollectionView;
    struct Cache;

    // The frames for the collection view's current rows and width.
    const Cache& cache() const;
    void layoutSection(int section, double top, double width) const;

    CollectionView* collectionView_ = nullptr;
    std::unique_ptr<Cache> cache_;
};
