#include "platform/CollectionView.h"
#include "platform/CollectionViewDataSource.h"
#include "platform/CollectionViewDelegate.h"
#include "platform/CollectionViewFlowLayout.h"
#include "platform/CollectionViewItem.h"
#include "platform/IndexPathRemoval.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

// Scroll bar arrows and each line of a wheel notch move this many points.
constexpr int kScrollLineStep = 20;

} // namespace

CollectionView::CollectionView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(kScrollLineStep);
    setCollectionViewLayout(nullptr);
}

// The items, their widgets and the layout go with the QObject children; the data source and
// the delegate must not be called while they do.
CollectionView::~CollectionView() {
    dataSource_ = nullptr;
    delegate_ = nullptr;
}

void CollectionView::setDataSource(CollectionViewDataSource* dataSource) {
    dataSource_ = dataSource;
    reloadData();
}

void CollectionView::setDelegate(CollectionViewDelegate* delegate) {
    delegate_ = delegate;
    layout_->invalidateLayout();
}

void CollectionView::setCollectionViewLayout(CollectionViewFlowLayout* layout) {
    if (layout && layout == layout_)
        return;
    delete layout_;
    layout_ = layout ? layout : new CollectionViewFlowLayout;
    layout_->setParent(this);
    layout_->collectionView_ = this;
    connect(layout_, &CollectionViewFlowLayout::invalidated, this, &CollectionView::relayout);
    layout_->invalidateLayout();
}

void CollectionView::registerItem(const QString& identifier,
                                  std::function<CollectionViewItem*()> factory) {
    reusePool_.registerFactory(identifier, std::move(factory));
}

CollectionViewItem* CollectionView::makeItemWithIdentifier(const QString& identifier,
                                                           const IndexPath& indexPath) {
    CollectionViewItem* item = reusePool_.dequeue(identifier);
    if (item) {
        item->prepareForReuse();
    } else {
        item = reusePool_.create(identifier);
        if (!item) {
            qWarning("CollectionView: no item registered for \"%s\"", qPrintable(identifier));
            return nullptr;
        }
        item->setParent(this);
        item->reuseIdentifier_ = identifier;
    }
    item->indexPath_ = indexPath;
    // Always, so that a look reset by prepareForReuse() is brought back for a selected row.
    item->setSelected(selection_.contains(indexPath));
    return item;
}

void CollectionView::selectItemsAtIndexPaths(const QSet<IndexPath>& indexPaths,
                                             ScrollPosition position) {
    QSet<IndexPath> existing;
    for (const IndexPath& indexPath : indexPaths) {
        if (isValid(indexPath))
            existing.insert(indexPath);
    }
    applySelectionChange(selection_.select(existing), false);
    scrollToItemsAtIndexPaths(existing, position);
}

void CollectionView::deselectAll() {
    applySelectionChange(selection_.clear(), false);
}

void CollectionView::scrollToItemsAtIndexPaths(const QSet<IndexPath>& indexPaths,
                                               ScrollPosition position) {
    std::optional<QRectF> target;
    for (const IndexPath& indexPath : indexPaths) {
        if (const auto attributes = layout_->layoutAttributesForItemAtIndexPath(indexPath))
            target = target ? target->united(attributes->frame) : attributes->frame;
    }
    if (!target || position == ScrollPosition::None)
        return;
    const double top = scrollOffset();
    const double height = viewport()->height();
    double y = top;
    switch (position) {
    case ScrollPosition::None:
        return;
    case ScrollPosition::Top:
        y = target->top();
        break;
    case ScrollPosition::CenteredVertically:
        y = target->center().y() - height / 2;
        break;
    case ScrollPosition::Nearest:
        if (target->top() < top)
            y = target->top();
        else if (target->bottom() > top + height)
            y = std::min(target->top(), target->bottom() - height);
        break;
    }
    verticalScrollBar()->setValue(int(std::lround(y))); // the scroll bar keeps it in range
}

void CollectionView::reloadData() {
    for (const auto& [indexPath, visible] : visible_)
        recycle(visible.item);
    visible_.clear();
    const int sections = dataSource_ ? dataSource_->numberOfSectionsInCollectionView(this) : 0;
    itemCounts_.assign(std::max(0, sections), 0);
    for (int section = 0; section < numberOfSections(); ++section)
        itemCounts_[section] = std::max(0, dataSource_->numberOfItemsInSection(this, section));
    const auto change = selection_.remap([this](const IndexPath& indexPath) {
        return isValid(indexPath) ? std::optional(indexPath) : std::nullopt;
    });
    layout_->invalidateLayout();
    applySelectionChange(change, false);
}

void CollectionView::deleteItemsAtIndexPaths(const QSet<IndexPath>& indexPaths) {
    QSet<IndexPath> existing;
    for (const IndexPath& indexPath : indexPaths) {
        if (isValid(indexPath))
            existing.insert(indexPath);
    }
    if (existing.isEmpty())
        return;
    const IndexPathRemoval removal(existing);
    for (int section = 0; section < numberOfSections(); ++section)
        itemCounts_[section] -= removal.removedCount(section);
    std::map<IndexPath, VisibleItem> moved;
    for (const auto& [indexPath, visible] : visible_) {
        if (const auto to = removal.map(indexPath)) {
            visible.item->indexPath_ = *to;
            moved.emplace(*to, visible);
        } else {
            recycle(visible.item);
        }
    }
    visible_ = std::move(moved);
    const auto change =
        selection_.remap([&removal](const IndexPath& indexPath) { return removal.map(indexPath); });
    layout_->invalidateLayout();
    applySelectionChange(change, false);
}

CollectionViewItem* CollectionView::itemAtIndexPath(const IndexPath& indexPath) const {
    const auto visible = visible_.find(indexPath);
    return visible == visible_.end() ? nullptr : visible->second.item;
}

std::vector<CollectionViewItem*> CollectionView::visibleItems() const {
    std::vector<CollectionViewItem*> items;
    items.reserve(visible_.size());
    for (const auto& [indexPath, visible] : visible_)
        items.push_back(visible.item);
    return items;
}

std::optional<IndexPath>
CollectionView::indexPathForItemAtPoint(const QPointF& viewportPoint) const {
    // The frames the items were placed at, not the layout's answer for a tiny rectangle: a
    // layout that spreads the items of a line could place one differently when asked alone.
    const QPointF point = viewportPoint + QPointF(0, scrollOffset());
    for (const auto& [indexPath, visible] : visible_) {
        if (visible.frame.contains(point))
            return indexPath;
    }
    return std::nullopt;
}

int CollectionView::numberOfItemsInSection(int section) const {
    return section >= 0 && section < numberOfSections() ? itemCounts_[section] : 0;
}

void CollectionView::setPrefetchMargin(qreal margin) {
    prefetchMargin_ = std::max<qreal>(0, margin);
    tile();
}

void CollectionView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayout(); // the layout notices a new width by itself
}

void CollectionView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    relayout();
}

void CollectionView::scrollContentsBy(int dx, int dy) {
    viewport()->scroll(dx, dy); // moves the item widgets along
    tile();
}

void CollectionView::mousePressEvent(QMouseEvent* event) {
    if (!selectable_ || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (focusPolicy() & Qt::ClickFocus)
        setFocus(Qt::MouseFocusReason);
    const bool toggle = event->modifiers().testFlag(Qt::ControlModifier);
    const std::optional<IndexPath> hit = indexPathForItemAtPoint(event->position());
    const bool wasSelected = hit && selection_.indexPaths().contains(*hit);
    applySelectionChange(selection_.click(hit, toggle), true);
    if (wasSelected && !toggle)
        emit selectedItemPressed(*hit);
    event->accept();
}

void CollectionView::keyPressEvent(QKeyEvent* event) {
    const auto target = selectable_ ? keyboardTarget(event->key()) : std::nullopt;
    if (!target) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    applySelectionChange(selection_.selectOnly(*target), true);
    scrollToItemsAtIndexPaths({*target}, ScrollPosition::Nearest);
    event->accept();
}

void CollectionView::relayout() {
    updateScrollRange();
    tile();
}

void CollectionView::updateScrollRange() {
    const int viewportHeight = viewport()->height();
    const double contentHeight = layout_->collectionViewContentSize().height();
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(viewportHeight);
    bar->setRange(0, std::max(0, int(std::ceil(contentHeight)) - viewportHeight));
}

void CollectionView::tile() {
    if (!isVisible())
        return;
    const QRectF area(0, scrollOffset() - prefetchMargin_, viewport()->width(),
                      viewport()->height() + 2 * prefetchMargin_);
    std::map<IndexPath, QRectF> wanted;
    for (const auto& attributes : layout_->layoutAttributesForElementsInRect(area)) {
        if (attributes.isItem() && isValid(attributes.indexPath))
            wanted.emplace(attributes.indexPath, attributes.frame);
    }
    // Rows that left give their items back first, so the rows that arrive reuse them.
    for (auto visible = visible_.begin(); visible != visible_.end();) {
        if (wanted.contains(visible->first)) {
            ++visible;
        } else {
            recycle(visible->second.item);
            visible = visible_.erase(visible);
        }
    }
    for (const auto& [indexPath, frame] : wanted) {
        if (const auto shown = visible_.find(indexPath); shown != visible_.end()) {
            shown->second.frame = frame;
            placeItem(shown->second);
            continue;
        }
        CollectionViewItem* item = loadItem(indexPath);
        if (!item)
            continue;
        const VisibleItem visible{item, frame};
        visible_.emplace(indexPath, visible);
        placeItem(visible);
        if (delegate_)
            delegate_->willDisplayItem(this, item, indexPath);
        item->view()->show();
    }
}

CollectionViewItem* CollectionView::loadItem(const IndexPath& indexPath) {
    CollectionViewItem* item =
        dataSource_ ? dataSource_->itemForRepresentedObjectAtIndexPath(this, indexPath) : nullptr;
    if (!item)
        return nullptr;
    if (item->parent() != this)
        item->setParent(this);
    if (!item->view()) {
        qWarning("CollectionView: the item for row %d of section %d has no view", indexPath.item,
                 indexPath.section);
        recycle(item);
        return nullptr;
    }
    item->indexPath_ = indexPath;
    const bool selected = selection_.contains(indexPath);
    if (item->isSelected() != selected)
        item->setSelected(selected);
    if (item->view()->parentWidget() != viewport())
        item->view()->setParent(viewport());
    return item;
}

void CollectionView::recycle(CollectionViewItem* item) {
    if (QWidget* view = item->view())
        view->hide();
    if (item->reuseIdentifier_.isEmpty())
        item->deleteLater(); // one the data source made itself: nobody will ask for it again
    else
        reusePool_.enqueue(item->reuseIdentifier_, item);
}

void CollectionView::placeItem(const VisibleItem& visible) const {
    // Edges are rounded, not the size, so neighbouring items neither overlap nor leave a gap.
    const QRectF frame = visible.frame.translated(0, -scrollOffset());
    const QPoint topLeft(int(std::lround(frame.left())), int(std::lround(frame.top())));
    const QPoint bottomRight(int(std::lround(frame.right())), int(std::lround(frame.bottom())));
    visible.item->view()->setGeometry(
        QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y())));
}

double CollectionView::scrollOffset() const {
    return verticalScrollBar()->value();
}

bool CollectionView::isValid(const IndexPath& indexPath) const {
    return indexPath.item >= 0 && indexPath.item < numberOfItemsInSection(indexPath.section);
}

void CollectionView::applySelectionChange(const CollectionViewSelection::Change& change,
                                          bool byUser) {
    if (change.isEmpty())
        return;
    for (const auto& [indexPath, visible] : visible_) {
        const bool selected = selection_.contains(indexPath);
        if (visible.item->isSelected() != selected)
            visible.item->setSelected(selected);
    }
    emit selectionChanged();
    if (!byUser || !delegate_)
        return;
    if (!change.deselected.isEmpty())
        delegate_->didDeselectItemsAtIndexPaths(this, change.deselected);
    if (!change.selected.isEmpty())
        delegate_->didSelectItemsAtIndexPaths(this, change.selected);
}

std::optional<IndexPath> CollectionView::keyboardTarget(int key) const {
    const IndexPath beforeFirst{0, -1};
    const IndexPath afterLast{numberOfSections() - 1,
                              numberOfItemsInSection(numberOfSections() - 1)};
    const auto& selected = selection_.indexPaths();
    switch (key) {
    case Qt::Key_Home:
        return adjacentIndexPath(beforeFirst, 1);
    case Qt::Key_End:
        return adjacentIndexPath(afterLast, -1);
    case Qt::Key_Up:
    case Qt::Key_Down: {
        if (selected.isEmpty())
            return adjacentIndexPath(beforeFirst, 1);
        const bool down = key == Qt::Key_Down;
        const IndexPath from = down ? *std::max_element(selected.begin(), selected.end())
                                    : *std::min_element(selected.begin(), selected.end());
        return adjacentIndexPath(from, down ? 1 : -1).value_or(from);
    }
    default:
        return std::nullopt;
    }
}

std::optional<IndexPath> CollectionView::adjacentIndexPath(IndexPath from, int direction) const {
    from.item += direction;
    while (from.section >= 0 && from.section < numberOfSections()) {
        if (from.item >= 0 && from.item < numberOfItemsInSection(from.section))
            return from;
        from.section += direction;
        from.item = direction > 0 ? 0 : numberOfItemsInSection(from.section) - 1;
    }
    return std::nullopt;
}
