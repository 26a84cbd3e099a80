#pragma once

#include "editor/PagePictures.h"
#include "editor/PageZoom.h"

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QTimer>

#include <functional>

class ContentFitter;
class CropSession;
class QLabel;
class QScrollArea;
class RMPDFImgView;
class SuperimposedPages;
class ThumbnailStrip;

// The current page in the page view: at the size its zoom gives it in the scrolled page area
// (fitted whole at first), with the crop in force and where the page's content lies drawn
// over it. The page's thumbnail stands in, stretched, until the picture drawn for the view's
// own size comes; a resize draws again once the area has kept its size a moment; a picture
// still on its way after a second is said to be drawn in status. While pages are
// superimposed, the view shows the blend of the batch instead, and status says how far it has
// come.
//
// A page zoomed larger than the area is drawn whole at the size it has fitted, which stands
// in while the part in sight is drawn sharp at the zoomed size; scrolling draws the part that
// comes into sight once the page stops moving. Zooming keeps one point of the page where it
// is in the area: the one under the pointer, or from the keyboard, the crop's centre.
//
// GUI thread only.
class PageDisplay : public QObject {
    Q_OBJECT

public:
    PageDisplay(CropSession& session, PagePictures& pictures, ContentFitter& fitter,
                SuperimposedPages& superimposed, const ThumbnailStrip& strip, RMPDFImgView& view,
                QScrollArea& pageArea, QLabel& status);

    // The session's current page, from its frame to its picture.
    void show();
    // Where the current page's content lies, for the view to mark what a crop cuts.
    void showContent();
    // The blend of the batch's pages in the view, or the current page again.
    void setSuperimposing(bool on);

    const PageZoom& zoom() const { return zoom_; }
    // The scale the page is shown at now, 1 at Actual Size.
    double shownScale() const;
    void zoomIn();
    void zoomOut();
    void fitPage();
    void fitWidth();
    void actualSize();
    // Zooms by factor, keeping the point at anchor (page area viewport pixels) in place.
    void zoomBy(double factor, const QPoint& anchor);

signals:
    // The page area has changed size.
    void areaResized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The current page's show rectangle in view space.
    QRectF showRect() const;
    // Pixels per point of a page shown at Actual Size.
    double actualPixelsPerPoint() const;
    // The view's frame when the page is fitted whole, in the area's viewport.
    QRect fittedFrame() const;
    void layout();
    // Changes the zoom with change, keeping the page's point at anchor (viewport pixels).
    void zoomAround(const QPoint& anchor, const std::function<void()>& change);
    // The crop's centre in the viewport, where keys zoom around.
    QPoint cropCentre() const;
    // The part of the view in sight, in the view's pixels.
    QRect sight() const;
    // The picture drawn for the view's present size, asked for when it is not at hand; while
    // pages are superimposed, their blend.
    void sharpen();
    void pictureReady(qint64 index, PagePictures::Use use, const QImage& image);
    void endDrawingNotice();

    CropSession& session_;
    PagePictures& pictures_;
    ContentFitter& fitter_;
    SuperimposedPages& superimposed_;
    const ThumbnailStrip& strip_;
    RMPDFImgView& view_;
    QScrollArea& area_;
    QWidget& canvas_;
    QLabel& status_;
    PageZoom zoom_;
    bool superimposing_ = false;
    // Runs while the area changes size or the page moves in it, to draw the page when it
    // stops.
    QTimer settle_;
    // The part of the view asked to be drawn sharp, for a view of partViewSize_.
    QRect partAsked_;
    QSize partViewSize_;
    // Runs while the current page's picture is on its way, until status says so.
    QTimer drawing_;
    bool drawingSaid_ = false;
};
