#pragma once

#include "platform/CollectionViewDataSource.h"
#include "platform/CollectionViewDelegate.h"

#include <QImage>
#include <QObject>

#include <QSizeF>
#include <vector>

class CollectionView;
class ContentFitter;
class CropSession;
class PagePictures;
class RMCollectionViewItem;

// The strip of page thumbnails beside the page: one item a page, each drawn with its crop
// frame and, where the crop cuts content, the mark that says so. Items are made only for
// the rows in view; their pictures come from the window's page pictures.
//
// Choosing a thumbnail reports pagePicked(); select() moves the selection without reporting.
//
// GUI thread only.
class ThumbnailStrip : public QObject,
                       public CollectionViewDataSource,
                       public CollectionViewDelegate {
    Q_OBJECT

public:
    // Takes over view (not owned) as its data source and delegate.
    ThumbnailStrip(CollectionView& view, CropSession& session, PagePictures& pictures,
                   ContentFitter& fitter, QObject* parent = nullptr);
    ~ThumbnailStrip() override;

    // Every thumbnail again, keeping the selection, as after every change of the crops, of the
    // batch's pages or of the crop mode.
    void reload();
    // Selects page index, scrolled to the middle when centred, to the top otherwise.
    void select(qint64 index, bool centred);
    // The size at which page index's thumbnail is drawn, in logical pixels.
    QSizeF imageSize(qint64 index) const;
    // Page index's content is measured: whether its crop cuts some may have changed.
    void showCutsContent(qint64 index);

    int numberOfItemsInSection(CollectionView* view, int section) override;
    CollectionViewItem* itemForRepresentedObjectAtIndexPath(CollectionView* view,
                                                            const IndexPath& indexPath) override;
    QSizeF sizeForItemAtIndexPath(CollectionView* view, CollectionViewFlowLayout* layout,
                                  const IndexPath& indexPath) override;
    void willDisplayItem(CollectionView* view, CollectionViewItem* item,
                         const IndexPath& indexPath) override;
    void didSelectItemsAtIndexPaths(CollectionView* view,
                                    const QSet<IndexPath>& indexPaths) override;

signals:
    // The user chose page index's thumbnail.
    void pagePicked(qint64 index);

private:
    // Page index's item, when its row is made; null otherwise.
    RMCollectionViewItem* shownItem(qint64 index) const;
    void showPicture(qint64 index, const QImage& image);

    CollectionView& view_;
    CropSession& session_;
    PagePictures& pictures_;
    ContentFitter& fitter_;
    // The pages (1-based, ascending) a batch crop changes; none in Custom Crop.
    std::vector<qint64> batch_;
};
