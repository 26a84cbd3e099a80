#pragma once

#include "LabelItem.h"

#include "platform/CollectionView.h"
#include "platform/CollectionViewDataSource.h"
#include "platform/CollectionViewDelegate.h"

#include <QStringList>

#include <algorithm>
#include <functional>
#include <vector>

// Data source and delegate of a collection view, as a window controller would be both: rows of
// text per section, optional sizes, and a log of what it was told.
struct FakeCollectionClient : CollectionViewDataSource, CollectionViewDelegate {
    std::vector<QStringList> rows{{}};
    std::function<QSizeF(const IndexPath&)> size; // unset: the layout's itemSize
    int itemRequests = 0;
    int sizeRequests = 0;
    QStringList log; // "select 0.3", "deselect 0.1", "display 0.4"

    static QStringList numbered(int count, const QString& prefix = "r") {
        QStringList texts;
        for (int row = 0; row < count; ++row)
            texts << prefix + QString::number(row);
        return texts;
    }
    static QString describe(const QSet<IndexPath>& indexPaths) {
        std::vector<IndexPath> sorted(indexPaths.begin(), indexPaths.end());
        std::sort(sorted.begin(), sorted.end());
        QStringList parts;
        for (const IndexPath& p : sorted)
            parts << QString("%1.%2").arg(p.section).arg(p.item);
        return parts.join(',');
    }

    int numberOfSectionsInCollectionView(CollectionView*) override { return int(rows.size()); }
    int numberOfItemsInSection(CollectionView*, int section) override {
        return int(rows[section].size());
    }
    CollectionViewItem* itemForRepresentedObjectAtIndexPath(CollectionView* view,
                                                            const IndexPath& p) override {
        ++itemRequests;
        auto* item = static_cast<LabelItem*>(view->makeItemWithIdentifier("label", p));
        item->label()->setText(rows[p.section][p.item]);
        return item;
    }
    QSizeF sizeForItemAtIndexPath(CollectionView* view, CollectionViewFlowLayout* layout,
                                  const IndexPath& p) override {
        ++sizeRequests;
        return size ? size(p) : CollectionViewDelegate::sizeForItemAtIndexPath(view, layout, p);
    }
    void willDisplayItem(CollectionView*, CollectionViewItem* item, const IndexPath& p) override {
        if (!item->view()->isVisible()) // only then is it "about to be shown"
            log << "display " + describe({p});
    }
    void didSelectItemsAtIndexPaths(CollectionView*, const QSet<IndexPath>& paths) override {
        log << "select " + describe(paths);
    }
    void didDeselectItemsAtIndexPaths(CollectionView*, const QSet<IndexPath>& paths) override {
        log << "deselect " + describe(paths);
    }
};
