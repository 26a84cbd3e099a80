#pragma once

#include <QHashFunctions>
#include <QRectF>

// Where content is looked for: a page of the file, within a rectangle of its page space (an
// empty one for its media box). A page of a document split from another shows its file page
// within its own media box, so measurements are known by this rather than by a page number,
// which splitting and joining pages changes.
struct ContentRegion {
    int page = 0;
    QRectF within = {};

    bool operator==(const ContentRegion&) const = default;
};

inline size_t qHash(const ContentRegion& region, size_t seed = 0) {
    return qHashMulti(seed, region.page, region.within.x(), region.within.y(),
                      region.within.width(), region.within.height());
}
