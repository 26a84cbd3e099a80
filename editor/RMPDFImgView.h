#pragma once

#include "crop/CropEdge.h"
#include "editor/SCSelectionBorder.h"
#include "editor/SCSelectionDelegate.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <optional>

class RMDrawDelegate;

// Shows one page image with its crop marker on top and, when editing is allowed, lets the
// user move and resize the marker with the mouse.
//
// The view's frame is the rectangle the page is shown in, and the image is stretched over
// the whole view. Callers speak of the page in view space: the page's show frame, whatever
// size the view really has on screen (the window grows and shrinks it). The marker itself
// works in the view's pixels, so its handles keep their size; its rectangle is scaled from
// view space when it comes in (setPageImg) and back when a drag reports it, with the scale
// that maps the view's real frame onto the show frame, so a drag to an edge reports exactly
// that edge. Both spaces are unflipped, as the crop logic expects: origin at the lower-left
// corner, y upward (Qt's widget coordinates are converted at the edges).
//
// The image is kept as a pixmap, so a drag repaints without converting or rendering the page
// again; for a sharp page on any screen, callers render it at imagePixelSize().
//
// With the keyboard focus (a click on the page, or Tab), the arrow keys nudge the marker: by
// one point, by ten with Shift. They move the whole marker, or the edges of the handle chosen
// with Tab (Shift+Tab goes back; the ninth press is the whole marker again); with Alt they
// move the edge last used along that direction (dragged, or chosen). The view claims the
// arrows while it has the focus, so the window's page keys do not see them; Escape gives the
// focus back, and the arrows turn pages again.
//
// GUI thread only.
class RMPDFImgView : public QWidget, public SCSelectionDelegate {
    Q_OBJECT

public:
    explicit RMPDFImgView(QWidget* parent = nullptr);

    // The page image, the marker's rectangle and the show frame, both in view space. The
    // rectangle is used as given, even where it reaches outside the page; the caller places
    // the view itself, at any size with the show frame's proportions.
    void setPageImg(const QImage& image, const QRectF& cropRect, const QRectF& showFrame);
    // A sharper picture of the same page; the marker, even in the middle of a drag, stays.
    void setPageImage(const QImage& image);
    // A picture of part of the view (logical pixels, y down), drawn over the page's picture,
    // for a view zoomed too large to draw the whole page sharp; a null image takes it away.
    // It goes with a new page or a new size of the view.
    void setPagePart(const QImage& image, const QRect& part);
    const QRect& pagePart() const { return partRect_; }
    // The marker's rectangle in view space.
    QRectF cropRect() const { return cropRect_; }
    // Where the page's content lies, in view space; nothing when it is not known. Whatever of
    // it the marker leaves out is marked, live while the marker moves, so that no content is
    // cut without being seen.
    void setContentBounds(const std::optional<QRectF>& bounds);
    const std::optional<QRectF>& contentBounds() const { return contentBounds_; }
    const QPixmap& pdfImg() const { return pdfImg_; }
    SCSelectionBorder& cropMarker() { return cropMarker_; }
    const SCSelectionBorder& cropMarker() const { return cropMarker_; }

    // Locks the marker's width to height ratio, as measured on the page (width over height),
    // or unlocks it. The marker works in pixels, whose rounding makes the view a little
    // wider or taller than the page's proportions; the lock makes up for it, so a locked crop
    // has the ratio on the page.
    void setLockedRatio(const std::optional<QSizeF>& ratio);
    const std::optional<QSizeF>& lockedRatio() const { return lockedRatio_; }

    bool isCanEdit() const { return isCanEdit_; }
    void setIsCanEdit(bool canEdit);
    // Not owned; must outlive the view or be reset first.
    void setDelegate(RMDrawDelegate* delegate) { delegate_ = delegate; }

    // The size in device pixels at which a page image looks sharp in this view.
    QSize imagePixelSize() const;

    // Reports the marker's rectangle to the delegate once a drag has ended; a drag given up
    // with Escape reports cropDragCancelled() instead.
    void resizeDidEnd() override;

    // The handle the arrows move, or SCSelectionBorder::kNoHandle for the whole marker.
    quint32 keyboardHandle() const { return keyboardHandle_; }

signals:
    // The marker moved during a drag; rect in view space.
    void cropRectChanging(const QRectF& rect);
    // A drag was given up with Escape: the marker is back where it was, and no crop ended.
    void cropDragCancelled();
    // An arrow key asked to move edges of the crop by dx, dy points of the shown page (y
    // upward).
    void cropNudged(CropEdges edges, double dx, double dy);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // A widget position in the view's unflipped coordinates.
    QPointF viewPoint(const QPointF& widgetPoint) const;
    // The pointer's shape over point: which handle, or the move, it would grab.
    void updateCursor(const QPointF& point);
    // A view-space rectangle in the view's pixels (unflipped), and back.
    QRectF toPixels(const QRectF& rect) const;
    QRectF toViewSpace(const QRectF& rect) const;
    // The locked ratio in the view's pixels, for the marker.
    void fitMarkerRatio();
    // The page's picture over exposed, stretched to the view.
    void drawPagePicture(QPainter& painter, const QRect& exposed) const;
    // Marks the part of the content the marker leaves out.
    void drawCutContent(QPainter& painter) const;
    // Shows what the arrow keys move while the view has the focus.
    void drawKeyboardTarget(QPainter& painter) const;
    // Whether the view takes the key for nudging, rather than leaving it to the window.
    bool isNudgeKey(const QKeyEvent& event) const;
    void nudge(const QKeyEvent& event);
    // The edges a drag of handle moves; kNoHandle moves them all.
    static CropEdges edgesOfHandle(quint32 handle);
    void rememberEdges(CropEdges edges);

    QPixmap pdfImg_;
    QPixmap part_;
    QRect partRect_;
    QRectF cropRect_;
    std::optional<QRectF> contentBounds_;
    std::optional<QSizeF> lockedRatio_;
    QSizeF showSize_;
    SCSelectionBorder cropMarker_;
    bool isCanEdit_ = false;
    RMDrawDelegate* delegate_ = nullptr;
    quint32 keyboardHandle_ = SCSelectionBorder::kNoHandle;
    bool cancelling_ = false;
    // The edges Alt with an arrow moves: the last used across and up the page.
    CropEdge lastAcross_ = CropEdge::Right;
    CropEdge lastUp_ = CropEdge::Top;
};
