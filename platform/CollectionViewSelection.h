#pragma once

#include "platform/IndexPath.h"

#include <QSet>

#include <functional>
#include <optional>

// The selected rows of a collection view and the rules for changing them: single or multiple
// selection, and whether the user may leave nothing selected. Every change returns what it
// selected and what it deselected, so the view can refresh item looks and tell its delegate.
//
// Plain value owned by its collection view; GUI thread.
class CollectionViewSelection {
public:
    struct Change {
        QSet<IndexPath> selected;
        QSet<IndexPath> deselected;

        bool isEmpty() const { return selected.isEmpty() && deselected.isEmpty(); }
    };

    bool allowsEmpty() const { return allowsEmpty_; }
    void setAllowsEmpty(bool allows) { allowsEmpty_ = allows; }
    bool allowsMultiple() const { return allowsMultiple_; }
    void setAllowsMultiple(bool allows) { allowsMultiple_ = allows; }

    const QSet<IndexPath>& indexPaths() const { return indexPaths_; }
    bool contains(const IndexPath& indexPath) const { return indexPaths_.contains(indexPath); }

    // The user clicked hit, or empty space for nullopt. A plain click selects hit alone; with
    // toggle, under multiple selection, it adds hit or takes it away. A click never leaves the
    // selection empty when empty selection is not allowed.
    Change click(const std::optional<IndexPath>& hit, bool toggle);
    // Exactly this row, as the keyboard moves the selection.
    Change selectOnly(const IndexPath& indexPath);
    // The program's selection: under single selection the first of indexPaths replaces the
    // selection; under multiple selection they join it.
    Change select(const QSet<IndexPath>& indexPaths);
    Change clear();
    // Follows the rows after the data changed: map gives a row's new index path, or nullopt
    // for a row that is gone.
    Change remap(const std::function<std::optional<IndexPath>(const IndexPath&)>& map);

private:
    Change replaceWith(QSet<IndexPath> next);

    QSet<IndexPath> indexPaths_;
    bool allowsEmpty_ = true;
    bool allowsMultiple_ = false;
};
