#include "platform/CollectionViewSelection.h"

#include <algorithm>

CollectionViewSelection::Change CollectionViewSelection::click(const std::optional<IndexPath>& hit,
                                                               bool toggle) {
    if (!hit)
        return allowsEmpty_ ? clear() : Change{};
    if (!toggle || !allowsMultiple_)
        return selectOnly(*hit);
    QSet<IndexPath> next = indexPaths_;
    if (!next.remove(*hit))
        next.insert(*hit);
    if (next.isEmpty() && !allowsEmpty_)
        return {};
    return replaceWith(std::move(next));
}

CollectionViewSelection::Change CollectionViewSelection::selectOnly(const IndexPath& indexPath) {
    return replaceWith({indexPath});
}

CollectionViewSelection::Change CollectionViewSelection::select(const QSet<IndexPath>& indexPaths) {
    if (indexPaths.isEmpty())
        return {};
    if (!allowsMultiple_)
        return selectOnly(*std::min_element(indexPaths.begin(), indexPaths.end()));
    return replaceWith(indexPaths_ | indexPaths);
}

CollectionViewSelection::Change CollectionViewSelection::clear() {
    return replaceWith({});
}

CollectionViewSelection::Change CollectionViewSelection::remap(
    const std::function<std::optional<IndexPath>(const IndexPath&)>& map) {
    QSet<IndexPath> next;
    for (const IndexPath& indexPath : indexPaths_) {
        if (const auto moved = map(indexPath))
            next.insert(*moved);
    }
    return replaceWith(std::move(next));
}

CollectionViewSelection::Change CollectionViewSelection::replaceWith(QSet<IndexPath> next) {
    Change change{next - indexPaths_, indexPaths_ - next};
    indexPaths_ = std::move(next);
    return change;
}
