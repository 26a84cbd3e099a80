#pragma once

#include "crop/CropSession.h"
#include "editor/RMDrawDelegate.h"
#include "platform/CollectionViewDataSource.h"
#include "platform/CollectionViewDelegate.h"
#include "render/PageRenderRequest.h"

#include <QHash>
#include <QWidget>

#include <memory>

namespace Ui {
class RMMainWindowController;
}

class ImageCache;
class RMCollectionViewItem;
class RMMainWindowDelegate;
class RenderQueue;

// The editing window of one open document: the thumbnail strip, the large page view with the
// crop marker, the crop-mode buttons, page navigation, and "Done" and "Revert All".
//
// It owns the document's crop state (a CropSession: working and pristine documents, crop
// records, current page, batch mode, selection) and draws pages through a render queue off
// the GUI thread: a page the user jumps to shows at once from the best picture at hand (its
// thumbnail, when drawn) and sharpens when its own picture arrives; thumbnails are drawn only
// for the rows the strip shows.
//
// GUI thread only.
class RMMainWindowController : public QWidget,
                               public RMDrawDelegate,
                               public CollectionViewDataSource,
                               public CollectionViewDelegate {
    Q_OBJECT

public:
    // Takes an opened, readable document. docDelegate (not owned) names its file.
    RMMainWindowController(std::unique_ptr<PdfDocument> document, RMMainWindowDelegate* docDelegate,
                           QWidget* parent = nullptr);
    ~RMMainWindowController() override;

    CropSession& session() { return *session_; }
    Ui::RMMainWindowController& ui() { return *ui_; }

    void startPDFShowing();
    void refreshCurrentDoc();
    void mainPDFViewJumpWithIndex(qint64 index);
    void refreshJumpBtnState();

    void firstJumpClickHandler();
    void previousClickHandler();
    void nextClickHandler();
    void lastJumpClickHandler();
    void pageCropClickHandler();
    void batchCropClickHandler();
    // "Done": applies the pending crops to the pages' boxes.
    void saveClickHandler();
    // "Revert All": goes back to the file as it was opened.
    void cancelClickHandler();

    void cropIsFinishedWithRect(const QRectF& rect) override;

    int numberOfItemsInSection(CollectionView* view, int section) override;
    CollectionViewItem* itemForRepresentedObjectAtIndexPath(CollectionView* view,
                                                            const IndexPath& indexPath) override;
    QSizeF sizeForItemAtIndexPath(CollectionView* view, CollectionViewFlowLayout* layout,
                                  const IndexPath& indexPath) override;
    void willDisplayItem(CollectionView* view, CollectionViewItem* item,
                         const IndexPath& indexPath) override;
    void didSelectItemsAtIndexPaths(CollectionView* view,
                                    const QSet<IndexPath>& indexPaths) override;

private:
    void windowDidLoad();
    void initialUI();
    void setUpShortcuts();
    // Shows the current page in the page view (its frame, image and crop).
    void showCurrentPage();
    // Selects thumbnail index, scrolled as asked, without telling the controller itself.
    void selectThumbnail(qint64 index, bool centred);
    void jumpAndSelect(qint64 index);
    // The page field's integer, kept between 1 and the page count while the user types.
    void pageFieldChanged();
    void pageFieldEnded();
    // Reloads every thumbnail, keeping the selection, as every change of the crops does.
    void reloadThumbnails();

    PageRenderRequest pageRequest(qint64 index, const QSizeF& logicalSize) const;
    QSizeF thumbnailImageSize(qint64 index) const;
    void requestThumbnail(RMCollectionViewItem* item, qint64 index);
    void imageRendered(quint64 ticket, const PageRenderRequest& request, const QImage& image);

    std::unique_ptr<Ui::RMMainWindowController> ui_;
    std::unique_ptr<CropSession> session_;
    RMMainWindowDelegate* docDelegate_;
    std::shared_ptr<ImageCache> cache_;
    std::unique_ptr<RenderQueue> queue_;
    quint64 pageTicket_ = 0;
    // Pending thumbnail renders by page index.
    QHash<qint64, quint64> thumbnailTickets_;
};
