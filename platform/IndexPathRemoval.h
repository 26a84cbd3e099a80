#pragma once

#include "platform/IndexPath.h"

#include <QHash>
#include <QSet>

#include <optional>
#include <vector>

// Where the rows of a collection go when some of them are removed: each row moves up by the
// number of removed rows before it in its section. Plain value; any thread.
class IndexPathRemoval {
public:
    explicit IndexPathRemoval(const QSet<IndexPath>& removed);

    // The row's index path once the removed rows are gone, or nullopt for a removed row.
    std::optional<IndexPath> map(const IndexPath& indexPath) const;
    int removedCount(int section) const;

private:
    QHash<int, std::vector<int>> removedItems_; // per section, ascending
};
