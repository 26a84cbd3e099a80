#pragma once

#include "editor/PagePictures.h"

#include <QImage>
#include <QObject>
#include <QRectF>
#include <QTimer>

class ContentFitter;
class CropSession;
class QLabel;
class QWidget;
class RMPDFImgView;
class SuperimposedPages;
class ThumbnailStrip;

// The current page in the page view: placed at the largest size the page area allows, with
// the crop in force and where the page's content lies drawn over it. The page's thumbnail
// stands in, stretched, until the picture drawn for the view's own size comes; a resize draws
// again once the area has kept its size a moment; a picture still on its way after a second is
// said to be drawn in status. While pages are superimposed, the view shows the blend of the
// batch instead, and status says how far it has come.
//
// GUI thread only.
class PageDisplay : public QObject {
    Q_OBJECT

public:
    PageDisplay(CropSession& session, PagePictures& pictures, ContentFitter& fitter,
                SuperimposedPages& superimposed, const ThumbnailStrip& strip, RMPDFImgView& view,
                QWidget& pageArea, QLabel& status);

    // The session's current page, from its frame to its picture.
    void show();
    // Where the current page's content lies, for the view to mark what a crop cuts.
    void showContent();
    // The blend of the batch's pages in the view, or the current page again.
    void setSuperimposing(bool on);

signals:
    // The page area has changed size.
    void areaResized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The current page's show rectangle in view space.
    QRectF showRect() const;
    void layout();
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
    QWidget& area_;
    QLabel& status_;
    bool superimposing_ = false;
    QTimer resizeSettle_;
    // Runs while the current page's picture is on its way, until status says so.
    QTimer drawing_;
    bool drawingSaid_ = false;
};
