#pragma once

#include <QHashFunctions>
#include <QtGlobal>

#include <compare>

// A row of a collection view: its section, then the item within that section. Ordered by
// section, then item, which is the order rows appear in. Plain value; any thread.
struct IndexPath {
    int section = 0;
    int item = 0;

    friend auto operator<=>(const IndexPath&, const IndexPath&) = default;
};

Q_DECLARE_TYPEINFO(IndexPath, Q_PRIMITIVE_TYPE);

inline size_t qHash(const IndexPath& indexPath, size_t seed = 0) noexcept {
    return qHashMulti(seed, indexPath.section, indexPath.item);
}
