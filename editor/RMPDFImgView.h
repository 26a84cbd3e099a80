#pragma once

#include "editor/SCSelectionBorder.h"
#include "editor/SCSelectionDelegate.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

class RMDrawDelegate;

// Shows one page image with its crop marker on top and, when editing is allowed, lets the
// user move and resize the marker with the mouse.
//
// The view's frame is the rectangle the page is shown in; the image is stretched over the
// whole view, so the view's own coordinates are those of the shown page. They are kept
// unflipped, as the crop logic expects: origin at the lower-left corner, y upward, in points
// (Qt's widget coordinates are converted at the edges).
//
// The image is kept as a pixmap, so a drag repaints without converting or rendering the page
// again; for a sharp page on any screen, callers render it at imagePixelSize().
//
// GUI thread only.
class RMPDFImgView : public QWidget, public SCSelectionDelegate {
    Q_OBJECT

public:
    explicit RMPDFImgView(QWidget* parent = nullptr);

    // The page image, the marker's rectangle (view coordinates, used as given) and the frame
    // the caller places the view at (the caller sets the frame itself; it is not used here).
    void setPageImg(const QImage& image, const QRectF& cropRect, const QRectF& showFrame);
    const QPixmap& pdfImg() const { return pdfImg_; }
    SCSelectionBorder& cropMarker() { return cropMarker_; }
    const SCSelectionBorder& cropMarker() const { return cropMarker_; }

    bool isCanEdit() const { return isCanEdit_; }
    void setIsCanEdit(bool canEdit);
    // Not owned; must outlive the view or be reset first.
    void setDelegate(RMDrawDelegate* delegate) { delegate_ = delegate; }

    // The size in device pixels at which a page image looks sharp in this view.
    QSize imagePixelSize() const;

    // Reports the marker's rectangle to the delegate once a drag has ended.
    void resizeDidEnd() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // A widget position in the view's unflipped coordinates.
    QPointF viewPoint(const QPointF& widgetPoint) const;
    // The pointer's shape over point: which handle, or the move, it would grab.
    void updateCursor(const QPointF& point);

    QPixmap pdfImg_;
    SCSelectionBorder cropMarker_;
    bool isCanEdit_ = false;
    RMDrawDelegate* delegate_ = nullptr;
};
