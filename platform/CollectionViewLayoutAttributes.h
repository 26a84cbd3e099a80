#pragma once

#include "platform/IndexPath.h"

#include <QRectF>
#include <QString>

// Where a collection view shows one element: an item, or a supplementary view of some kind.
// frame is in the collection view's content coordinates: points, origin at the top-left corner
// of the content, y downward. Plain value; any thread.
struct CollectionViewLayoutAttributes {
    // Kinds of supplementary views a layout subclass may place; the flow layout places items
    // only, and the collection view shows items only.
    static inline const QString headerKind = QStringLiteral("header");
    static inline const QString footerKind = QStringLiteral("footer");

    IndexPath indexPath;
    QRectF frame;
    QString representedElementKind; // empty for items

    bool isItem() const { return representedElementKind.isEmpty(); }
};
