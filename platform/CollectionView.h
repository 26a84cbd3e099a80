#pragma once

#include "platform/CollectionViewReusePool.h"
#include "platform/CollectionViewSelection.h"
#include "platform/IndexPath.h"

#include <QAbstractScrollArea>
#include <QRectF>
#include <QSet>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class CollectionViewDataSource;
class CollectionViewDelegate;
class CollectionViewFlowLayout;
class CollectionViewItem;

// A vertically scrolling collection of items placed by a flow layout, for lists far too long to
// hold a widget per row.
//
// Item widgets exist only for the rows that intersect the viewport or lie within
// prefetchMargin() above or below it. A row's item is asked from the data source when the row
// comes into view; when it leaves, its item goes back to the queue of its reuse identifier, and
// makeItemWithIdentifier() hands it out again. Item widgets are children of the viewport at
// their layout frame less the scroll offset, as placed by the layout's
// layoutAttributesForElementsInRect() for the rows in view. Nothing is made while the view is
// hidden; it fills itself when shown.
//
// Selection: single, and not selectable by default. A left press on an item, or on a part of it
// that ignores presses, selects it; Ctrl toggles under multiple selection; a press on empty
// space deselects unless empty selection is refused. Up and Down move a single selection to the
// previous or next row in index order, Home and End to the first and last. The delegate hears
// of these user selections only; selections made through the methods below are reported by
// selectionChanged() alone, which comes for every change.
//
// The row counts are those of the last reloadData() (called by setDataSource()), less the rows
// deleted since.
//
// Owns its layout and all items it hands out; data source and delegate are not owned.
// GUI thread only.
class CollectionView : public QAbstractScrollArea {
    Q_OBJECT
    Q_PROPERTY(bool selectable READ isSelectable WRITE setSelectable)
    Q_PROPERTY(bool allowsEmptySelection READ allowsEmptySelection WRITE setAllowsEmptySelection)
    Q_PROPERTY(
        bool allowsMultipleSelection READ allowsMultipleSelection WRITE setAllowsMultipleSelection)
    Q_PROPERTY(qreal prefetchMargin READ prefetchMargin WRITE setPrefetchMargin)

public:
    // Where a scroll brings the items: None leaves the scroll position alone, Top puts their top
    // at the top of the viewport, CenteredVertically puts their middle in its middle, Nearest
    // scrolls the least that shows them. As far as the scroll range allows.
    enum class ScrollPosition { None, Top, CenteredVertically, Nearest };

    explicit CollectionView(QWidget* parent = nullptr);
    ~CollectionView() override;

    // Loads at once (see reloadData()): when the view is shown, the rows in view are asked for
    // their items, so register the item factories first.
    void setDataSource(CollectionViewDataSource* dataSource);
    CollectionViewDataSource* dataSource() const { return dataSource_; }
    void setDelegate(CollectionViewDelegate* delegate);
    CollectionViewDelegate* delegate() const { return delegate_; }
    // Takes ownership and deletes the layout set before; null restores a default flow layout.
    void setCollectionViewLayout(CollectionViewFlowLayout* layout);
    CollectionViewFlowLayout* collectionViewLayout() const { return layout_; }

    // factory makes a new item for identifier; the view becomes its QObject parent.
    void registerItem(const QString& identifier, std::function<CollectionViewItem*()> factory);
    // An item for indexPath: a reused one from the queue of identifier (after its
    // prepareForReuse()), or a new one from the factory; either has the selected look of the
    // row. Null for an identifier that was never registered.
    CollectionViewItem* makeItemWithIdentifier(const QString& identifier,
                                               const IndexPath& indexPath);

    bool isSelectable() const { return selectable_; }
    void setSelectable(bool selectable) { selectable_ = selectable; }
    bool allowsEmptySelection() const { return selection_.allowsEmpty(); }
    void setAllowsEmptySelection(bool allows) { selection_.setAllowsEmpty(allows); }
    bool allowsMultipleSelection() const { return selection_.allowsMultiple(); }
    void setAllowsMultipleSelection(bool allows) { selection_.setAllowsMultiple(allows); }

    QSet<IndexPath> selectionIndexPaths() const { return selection_.indexPaths(); }
    // Selects the rows among indexPaths that exist, replacing the selection under single
    // selection and adding to it under multiple, then scrolls to them as asked. The delegate is
    // not told: the program made this selection.
    void selectItemsAtIndexPaths(const QSet<IndexPath>& indexPaths, ScrollPosition position);
    void deselectAll();
    void scrollToItemsAtIndexPaths(const QSet<IndexPath>& indexPaths, ScrollPosition position);

    // Asks the data source for the row counts and for the items of the rows in view again. The
    // scroll position stays as far as the new content allows; selected rows that no longer
    // exist are deselected.
    void reloadData();
    // The data source has already removed these rows: the rows after them move up, together
    // with their items and selection.
    void deleteItemsAtIndexPaths(const QSet<IndexPath>& indexPaths);

    // The item showing that row, or null when the row has no item now.
    CollectionViewItem* itemAtIndexPath(const IndexPath& indexPath) const;
    // In index path order.
    std::vector<CollectionViewItem*> visibleItems() const;
    // The row whose item lies under a point of the viewport, among the rows that have items.
    std::optional<IndexPath> indexPathForItemAtPoint(const QPointF& viewportPoint) const;
    int numberOfSections() const { return int(itemCounts_.size()); }
    int numberOfItemsInSection(int section) const;

    // How far, in points, beyond the top and bottom of the viewport rows get items ahead of time.
    qreal prefetchMargin() const { return prefetchMargin_; }
    void setPrefetchMargin(qreal margin);

signals:
    void selectionChanged();
    // A plain press on a row that was selected already, which changes no selection: lists
    // whose rows act when chosen act on it too.
    void selectedItemPressed(const IndexPath& indexPath);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct VisibleItem {
        CollectionViewItem* item = nullptr;
        QRectF frame; // content coordinates, as the layout last placed it
    };

    // Scroll range and item widgets after the layout or the viewport changed.
    void relayout();
    void updateScrollRange();
    // Gives the rows in view their items and places them; rows that left give theirs back.
    void tile();
    CollectionViewItem* loadItem(const IndexPath& indexPath);
    void recycle(CollectionViewItem* item);
    void placeItem(const VisibleItem& visible) const;
    double scrollOffset() const;
    bool isValid(const IndexPath& indexPath) const;
    // Refreshes the looks of the items in view and reports the change.
    void applySelectionChange(const CollectionViewSelection::Change& change, bool byUser);
    // The row a navigation key selects, or nullopt for other keys (or no rows).
    std::optional<IndexPath> keyboardTarget(int key) const;
    // One row on from `from` in index order (direction +1 or -1), skipping empty sections.
    std::optional<IndexPath> adjacentIndexPath(IndexPath from, int direction) const;

    CollectionViewDataSource* dataSource_ = nullptr;
    CollectionViewDelegate* delegate_ = nullptr;
    CollectionViewFlowLayout* layout_ = nullptr;
    CollectionViewReusePool reusePool_;
    CollectionViewSelection selection_;
    std::vector<int> itemCounts_; // per section
    std::map<IndexPath, VisibleItem> visible_;
    bool selectable_ = false;
    qreal prefetchMargin_ = 100;
};
