#include "platform/IndexPathRemoval.h"

#include <algorithm>

IndexPathRemoval::IndexPathRemoval(const QSet<IndexPath>& removed) {
    for (const IndexPath& indexPath : removed)
        removedItems_[indexPath.section].push_back(indexPath.item);
    for (auto& items : removedItems_)
        std::sort(items.begin(), items.end());
}

std::optional<IndexPath> IndexPathRemoval::map(const IndexPath& indexPath) const {
    const auto section = removedItems_.constFind(indexPath.section);
    if (section == removedItems_.constEnd())
        return indexPath;
    const auto before = std::lower_bound(section->begin(), section->end(), indexPath.item);
    if (before != section->end() && *before == indexPath.item)
        return std::nullopt;
    return IndexPath{indexPath.section, indexPath.item - int(before - section->begin())};
}

int IndexPathRemoval::removedCount(int section) const {
    const auto items = removedItems_.constFind(section);
    return items == removedItems_.constEnd() ? 0 : int(items->size());
}
