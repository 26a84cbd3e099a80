#pragma once

#include "render/PageCompositor.h"
#include "render/RenderKey.h"
#include "render/RenderQueue.h"

#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QTimer>

#include <memory>
#include <vector>

class CropSession;
class ImageCache;

// The pages of a batch drawn one over another, for the page view to show in place of the
// current page, so that one crop rectangle can be dragged around the content of them all.
//
// The pages are the selection and the current page; of a larger batch, kMaxPages of them
// spread evenly over it, its first, its last and the current page always among them. Each is
// placed as a batch crop carries the current page's crop to it: at the current page's scale,
// its top-left corner on the current page's top-left corner, in its own box and rotation.
// Only what lies over the current page is drawn.
//
// The pages are drawn by a render queue of its own and blended by a PageCompositor, neither
// on the GUI thread; the picture builds up as they arrive. Pages that cannot be drawn are left
// out. Nothing is kept of the single pages, only the last picture, so that the view can be
// turned off and on again at once while the batch stays the same.
//
// GUI thread only.
class SuperimposedPages : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxPages = 64;

    explicit SuperimposedPages(CropSession& session, QObject* parent = nullptr);
    ~SuperimposedPages() override;

    // From now on pages are drawn with what factory makes; the picture is forgotten, as when
    // the document is unlocked.
    void setRasterizerFactory(RenderQueue::RasterizerFactory factory);

    // Draws the session's batch over its current page (the session has pages) for a page view
    // of viewSize: in logical pixels, whatever the screen's scale, and no more than 800 on a
    // side, since a guide to crop by needs no more. pictureChanged() follows as pages are
    // blended; the same pages for the same size keep the picture they have, which
    // pictureChanged() hands over again at once.
    void compose(const QSize& viewSize);
    // Stops drawing. A finished picture is kept for the next compose().
    void stop();

    // The page numbers, 1-based and ascending, of the picture last asked for.
    const std::vector<qint64>& pages() const { return pages_; }
    // The picture so far; null until a page has been blended.
    const QImage& picture() const { return picture_; }
    // Whether every page has been blended or left out.
    bool isComplete() const { return answered() == static_cast<int>(keys_.size()); }

signals:
    // A new picture for the page view: at once when it is complete, at most every 50 ms while
    // it builds up.
    void pictureChanged(const QImage& picture);
    // drawn of total pages are blended or left out; (0, 0) once stopped.
    void progress(int drawn, int total);

private:
    // What a picture of size pixels is made of: one request per page of pages_ that shows.
    std::vector<PageRenderRequest> requestsFor(const QSize& size) const;
    void pageRendered(quint64 ticket, const PageRenderRequest& request, const QImage& image);
    // A page that cannot be drawn is left out of the picture.
    void pageFailed(quint64 ticket);
    void pictureComposed(const QImage& picture, int pages);
    // A page has been blended or left out: the picture is shown now when it is complete or
    // none was shown for a while, and soon otherwise.
    void pictureGrew();
    void showPicture();
    // No picture, made or under way.
    void forget();
    int answered() const { return blended_ + skipped_; }

    CropSession& session_;
    RenderQueue::RasterizerFactory factory_;
    // Nothing is kept: sixty-four pages would crowd out every other picture.
    std::shared_ptr<ImageCache> cache_;
    std::unique_ptr<RenderQueue> queue_;
    PageCompositor compositor_;

    std::vector<qint64> pages_;
    // The picture under way or made: its pages' keys and its size.
    std::vector<RenderKey> keys_;
    QSize size_;
    quint64 generation_ = 0;
    QSet<quint64> tickets_;
    int blended_ = 0;
    int skipped_ = 0;
    QImage picture_;
    QTimer showTimer_;
};
