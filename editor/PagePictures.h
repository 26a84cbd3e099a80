#pragma once

#include "render/DocumentRasterizers.h"
#include "render/PageRenderRequest.h"
#include "render/RenderKey.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>

#include <array>
#include <memory>
#include <optional>

class CropSession;
class ImageCache;
class RenderQueue;
class RenderWorkplace;
struct PageRenderResult;

// The pictures of one document's pages, as the page view and the thumbnail strip show them:
// drawn off the GUI thread, in the program's render workplace, from the working document's bytes,
// each page with its present box and rotation, and kept in a cache bounded to what the window can
// show.
//
// picture() hands over what is at hand at once and asks for the rest; pictureReady() brings
// it. The page view asks for one picture at a time, the newest replacing the last; the strip
// asks once a page until the picture comes. A page that cannot be drawn gets a placeholder
// that says why, kept like a picture so that it is not tried again until its boxes change.
// Only a page whose renderer was lost (it crashed or froze) is tried once more, the next time
// it is asked for: a renderer may be lost to a busy machine or to another page's trouble, and
// the page then draws in a new one. Lost a second time, the page keeps its placeholder.
//
// GUI thread only.
class PagePictures : public QObject {
    Q_OBJECT

public:
    // The page view's picture of its whole page; its picture of the part of the page it
    // shows, when zoomed in too far to draw the whole page sharp; a thumbnail.
    enum class Use { Page, PagePart, Thumbnail };

    PagePictures(CropSession& session, std::shared_ptr<const RenderWorkplace> workplace,
                 QObject* parent = nullptr);
    ~PagePictures() override;

    // Draws from now on from the working document's present bytes and password, and forgets
    // every picture made before. Nothing is drawn before the first call.
    void restart();
    // The pictures asked for are no longer wanted: the boxes they show are gone.
    void cancelAll();
    // Rasterizers for the same bytes, for measuring and blending pages.
    const DocumentRasterizers::Maker& maker() const { return maker_; }
    // Bounds the cache to the pictures a window of these parts can show.
    void fitCacheTo(const QSize& strip, const QSize& pageArea, qreal devicePixelRatio);

    // Page index's picture for a view of logicalSize on a screen of devicePixelRatio: when it
    // is at hand (drawn, or a placeholder), returns it; otherwise returns a null image and
    // asks for it. For Use::PagePart, the picture of part of that view (logical pixels, y
    // down) only.
    QImage picture(qint64 index, const QSizeF& logicalSize, qreal devicePixelRatio, Use use,
                   const QRect& part = {});
    // The same, only what is at hand; for the first page, the stand-in until one is drawn.
    QImage pictureAtHand(qint64 index, const QSizeF& logicalSize, qreal devicePixelRatio);
    // A picture of the first page drawn before the window opened (while the file was read),
    // at hand for it until restart().
    void setFirstPageStandIn(const QImage& image) { firstPageStandIn_ = image; }
    // The page view's last requests are no longer wanted.
    void dropPageRequests() { pageView_ = {}; }

signals:
    // A picture asked for has been drawn, or replaced by a placeholder.
    void pictureReady(qint64 index, PagePictures::Use use, const QImage& image);

private:
    PageRenderRequest requestFor(qint64 index, const QSizeF& logicalSize, qreal devicePixelRatio,
                                 const QRect& part = {}) const;
    // What is at hand of request, the picture of page index.
    QImage knownPicture(qint64 index, const PageRenderRequest& request) const;
    void rendered(quint64 ticket, const QImage& image);
    void failed(quint64 ticket, const PageRenderRequest& request, const PageRenderResult& result);

    CropSession& session_;
    const std::shared_ptr<const RenderWorkplace> workplace_;
    // Sized by fitCacheTo() once the window has its size.
    std::shared_ptr<ImageCache> cache_;
    DocumentRasterizers::Maker maker_;
    std::unique_ptr<RenderQueue> queue_;
    // The page view's newest request of each of its uses, and what it draws.
    struct ViewRequest {
        quint64 ticket = 0;
        qint64 index = 0;
        std::optional<RenderKey> key;
    };
    std::array<ViewRequest, 2> pageView_;
    // Pending thumbnails by page index, and the other way. Pictures are asked for by the page
    // of the file they show, which the parts of a page split share.
    QHash<qint64, quint64> thumbnailTickets_;
    QHash<quint64, qint64> thumbnailPages_;
    QImage firstPageStandIn_;
    // Pictures whose renderer was lost once, to be drawn again when next asked for. The page
    // view and the strip ask for pictures of their own, each with its own second chance.
    QSet<RenderKey> lostOnce_;
};
