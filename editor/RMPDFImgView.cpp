#include "editor/RMPDFImgView.h"

#include "editor/PagePlaceholder.h"
#include "editor/RMDrawDelegate.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <utility>

RMPDFImgView::RMPDFImgView(QWidget* parent) : QWidget(parent) {
    cropMarker_.setColors(Qt::black);
    cropMarker_.setSelectionDelegate(this);
    // Painting covers every pixel, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

namespace {

const QColor kCutFill(230, 40, 40, 90);
const QColor kCutOutline(230, 40, 40);
const QColor kKeyboardTarget(100, 119, 247);

constexpr quint32 kHandleCount = 8;
constexpr double kNudgePoints = 1.0;
constexpr double kShiftNudgePoints = 10.0;

// length in units of a space whose extent is from, measured in a space whose extent is to.
// Dividing first keeps the ends exact: the far edge of one space is the far edge of the other.
double rescaled(double length, double from, double to) {
    return from > 0 && to > 0 ? length / from * to : length;
}

QRectF rescaled(const QRectF& r, const QSizeF& from, const QSizeF& to) {
    const double left = rescaled(r.left(), from.width(), to.width());
    const double bottom = rescaled(r.top(), from.height(), to.height());
    return QRectF(left, bottom, rescaled(r.right(), from.width(), to.width()) - left,
                  rescaled(r.bottom(), from.height(), to.height()) - bottom);
}

} // namespace

void RMPDFImgView::setPageImg(const QImage& image, const QRectF& cropRect,
                              const QRectF& showFrame) {
    showSize_ = showFrame.size();
    cropRect_ = cropRect;
    fitMarkerRatio();
    cropMarker_.setSelectedRect(toPixels(cropRect));
    setPagePart({}, {});
    setPageImage(image);
}

void RMPDFImgView::setLockedRatio(const std::optional<QSizeF>& ratio) {
    lockedRatio_ = ratio;
    fitMarkerRatio();
    cropMarker_.setIsLockingAspectRatio(ratio.has_value());
    // The handles an unlocked marker has, or the corners a locked one keeps.
    update();
}

void RMPDFImgView::fitMarkerRatio() {
    if (!lockedRatio_ || showSize_.isEmpty() || size().isEmpty())
        return;
    // Pixels per view unit across and up: equal but for the rounding of the view's size.
    const double across = width() / showSize_.width();
    const double up = height() / showSize_.height();
    cropMarker_.setAspectRatio(QSizeF(lockedRatio_->width() * across, lockedRatio_->height() * up));
}

void RMPDFImgView::setPageImage(const QImage& image) {
    pdfImg_ = QPixmap::fromImage(image);
    setToolTip(PagePlaceholder::toolTipOf(image));
    update();
}

void RMPDFImgView::setPagePart(const QImage& image, const QRect& part) {
    if (image.isNull() || part.isEmpty()) {
        part_ = QPixmap();
        partRect_ = QRect();
    } else {
        part_ = QPixmap::fromImage(image);
        partRect_ = part;
    }
    update();
}

QRectF RMPDFImgView::toPixels(const QRectF& rect) const {
    return rescaled(rect, showSize_, QSizeF(size()));
}

QRectF RMPDFImgView::toViewSpace(const QRectF& rect) const {
    return rescaled(rect, QSizeF(size()), showSize_);
}

void RMPDFImgView::resizeEvent(QResizeEvent* event) {
    // The page is the same; only its size on screen changed, which a part drawn for the old
    // size no longer fits.
    part_ = QPixmap();
    partRect_ = QRect();
    fitMarkerRatio();
    if (!cropMarker_.isTracking())
        cropMarker_.setSelectedRect(toPixels(cropRect_));
    QWidget::resizeEvent(event);
}

void RMPDFImgView::setIsCanEdit(bool canEdit) {
    isCanEdit_ = canEdit;
    setMouseTracking(canEdit);
    setFocusPolicy(canEdit ? Qt::StrongFocus : Qt::NoFocus);
    if (!canEdit)
        unsetCursor();
}

QSize RMPDFImgView::imagePixelSize() const {
    return (QSizeF(size()) * devicePixelRatioF()).toSize();
}

void RMPDFImgView::resizeDidEnd() {
    // A drag given up is no crop: in a batch, even the rectangle it started from would be
    // carried to every selected page.
    if (std::exchange(cancelling_, false)) {
        emit cropDragCancelled();
        return;
    }
    // A click that moved nothing reports the rectangle it was given, not a rounding of it.
    if (cropMarker_.selectedRect() != toPixels(cropRect_)) {
        cropRect_ = toViewSpace(cropMarker_.selectedRect());
        rememberEdges(edgesOfHandle(cropMarker_.trackedHandle()));
    }
    if (delegate_)
        delegate_->cropIsFinishedWithRect(cropRect_);
}

void RMPDFImgView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    // Where the sharp part covers what is repainted, as while a zoomed page is dragged on, it
    // is all there is to draw beneath the marker.
    if (part_.isNull() || !partRect_.contains(exposed)) {
        painter.fillRect(exposed, Qt::white);
        drawPagePicture(painter, exposed);
    }
    if (!part_.isNull())
        painter.drawPixmap(QRectF(partRect_), part_, QRectF(part_.rect()));
    cropMarker_.drawContentInView(painter, this);
    drawCutContent(painter);
    drawKeyboardTarget(painter);
}

void RMPDFImgView::drawPagePicture(QPainter& painter, const QRect& exposed) const {
    if (pdfImg_.isNull() || size().isEmpty())
        return;
    // Only the exposed part of the picture is drawn: a zoomed view may be many times larger
    // than the window. A picture made for this size is copied as it is; another is scaled
    // smoothly.
    const double across = pdfImg_.width() / double(width());
    const double up = pdfImg_.height() / double(height());
    if (pdfImg_.size() != imagePixelSize())
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(exposed), pdfImg_,
                       QRectF(exposed.x() * across, exposed.y() * up, exposed.width() * across,
                              exposed.height() * up));
}

void RMPDFImgView::drawKeyboardTarget(QPainter& painter) const {
    if (!hasFocus() || !isCanEdit_)
        return;
    const QRectF r = cropMarker_.selectedRect();
    const QRectF inWidget(r.x(), height() - r.y() - r.height(), r.width(), r.height());
    painter.save();
    if (keyboardHandle_ == SCSelectionBorder::kNoHandle) {
        painter.setPen(QPen(kKeyboardTarget, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(inWidget.adjusted(-2, -2, 2, 2));
    } else {
        const QPointF p = SCSelectionBorder::locationOfHandle(keyboardHandle_, r);
        const double half = SCSelectionBorder::kHandleHalfSide - 2;
        painter.fillRect(QRectF(p.x() - half, height() - p.y() - half, 2 * half, 2 * half),
                         kKeyboardTarget);
    }
    painter.restore();
}

void RMPDFImgView::setContentBounds(const std::optional<QRectF>& bounds) {
    if (bounds == contentBounds_)
        return;
    contentBounds_ = bounds;
    update();
}

void RMPDFImgView::drawCutContent(QPainter& painter) const {
    if (!contentBounds_)
        return;
    const auto inWidget = [this](const QRectF& r) {
        return QRectF(r.x(), height() - r.y() - r.height(), r.width(), r.height());
    };
    // A pixel around the content, so that a hairline rule cut away still shows, and a little
    // more around the marker, so that a crop fitted exactly to the content marks nothing.
    QPainterPath cut;
    cut.addRect(inWidget(toPixels(*contentBounds_)).adjusted(-1, -1, 1, 1));
    QPainterPath kept;
    kept.addRect(inWidget(cropMarker_.selectedRect()).adjusted(-1.5, -1.5, 1.5, 1.5));
    cut = cut.subtracted(kept);
    if (cut.isEmpty())
        return;
    painter.save();
    painter.fillPath(cut, kCutFill);
    painter.setPen(QPen(kCutOutline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(cut);
    painter.restore();
}

QPointF RMPDFImgView::viewPoint(const QPointF& widgetPoint) const {
    return QPointF(widgetPoint.x(), height() - widgetPoint.y());
}

void RMPDFImgView::mousePressEvent(QMouseEvent* event) {
    if (!isCanEdit_ || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    cropMarker_.selectAndTrackMouse(viewPoint(event->position()), this);
    updateCursor(viewPoint(event->position()));
}

void RMPDFImgView::mouseMoveEvent(QMouseEvent* event) {
    if (!isCanEdit_) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPointF point = viewPoint(event->position());
    if (cropMarker_.isTracking()) {
        cropMarker_.trackMouse(point, this);
        emit cropRectChanging(toViewSpace(cropMarker_.selectedRect()));
    }
    updateCursor(point);
}

void RMPDFImgView::mouseReleaseEvent(QMouseEvent* event) {
    if (!isCanEdit_ || event->button() != Qt::LeftButton || !cropMarker_.isTracking()) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPointF point = viewPoint(event->position());
    cropMarker_.finishTracking(point, this);
    updateCursor(point);
}

CropEdges RMPDFImgView::edgesOfHandle(quint32 handle) {
    // Handles are numbered bottom row first, left to right (see SCSelectionBorder).
    static const CropEdges edges[] = {
        kWholeCrop,
        CropEdges(CropEdge::Left) | CropEdge::Bottom,
        CropEdge::Bottom,
        CropEdges(CropEdge::Right) | CropEdge::Bottom,
        CropEdge::Left,
        CropEdge::Right,
        CropEdges(CropEdge::Left) | CropEdge::Top,
        CropEdge::Top,
        CropEdges(CropEdge::Right) | CropEdge::Top,
    };
    return handle <= kHandleCount ? edges[handle] : kWholeCrop;
}

void RMPDFImgView::rememberEdges(CropEdges edges) {
    if (edges == kWholeCrop)
        return;
    if (edges & CropEdge::Left)
        lastAcross_ = CropEdge::Left;
    else if (edges & CropEdge::Right)
        lastAcross_ = CropEdge::Right;
    if (edges & CropEdge::Bottom)
        lastUp_ = CropEdge::Bottom;
    else if (edges & CropEdge::Top)
        lastUp_ = CropEdge::Top;
}

bool RMPDFImgView::isNudgeKey(const QKeyEvent& event) const {
    if (!isCanEdit_ || cropMarker_.isTracking())
        return false;
    const Qt::KeyboardModifiers others =
        event.modifiers() & ~(Qt::ShiftModifier | Qt::AltModifier | Qt::KeypadModifier);
    if (others)
        return false;
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

bool RMPDFImgView::event(QEvent* event) {
    // The window's page keys are shortcuts, looked at before the focused widget sees a key;
    // taking the arrows here keeps them for the marker while the page has the focus. Tab
    // chooses a handle rather than leaving the view.
    if (event->type() == QEvent::ShortcutOverride && isNudgeKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress && isNudgeKey(*static_cast<QKeyEvent*>(event))) {
        nudge(*static_cast<QKeyEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

void RMPDFImgView::nudge(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        const quint32 states = kHandleCount + 1;
        keyboardHandle_ = (keyboardHandle_ + (key == Qt::Key_Tab ? 1 : kHandleCount)) % states;
        rememberEdges(edgesOfHandle(keyboardHandle_));
        update();
        return;
    }
    const double step = event.modifiers() & Qt::ShiftModifier ? kShiftNudgePoints : kNudgePoints;
    const bool across = key == Qt::Key_Left || key == Qt::Key_Right;
    const double sign = key == Qt::Key_Left || key == Qt::Key_Down ? -1.0 : 1.0;
    CropEdges edges = edgesOfHandle(keyboardHandle_);
    if (event.modifiers() & Qt::AltModifier)
        edges = across ? lastAcross_ : lastUp_;
    else
        rememberEdges(edges);
    emit cropNudged(edges, across ? sign * step : 0.0, across ? 0.0 : sign * step);
}

void RMPDFImgView::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void RMPDFImgView::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void RMPDFImgView::keyPressEvent(QKeyEvent* event) {
    // Escape abandons a drag: the marker goes back to where the press found it.
    if (event->key() == Qt::Key_Escape && cropMarker_.isTracking()) {
        cancelling_ = true;
        cropMarker_.cancelTracking(this);
        return;
    }
    // Otherwise it hands the arrows back to the window's page keys.
    if (event->key() == Qt::Key_Escape && hasFocus()) {
        clearFocus();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RMPDFImgView::updateCursor(const QPointF& point) {
    quint32 handle = cropMarker_.trackedHandle();
    bool inside = cropMarker_.isMoving();
    if (!cropMarker_.isTracking())
        inside = cropMarker_.mouseIsInFrame(point, cropMarker_.selectedRect(), &handle);
    // In y-up coordinates handles 1 and 8 lie on a rising diagonal, 3 and 6 on a falling one.
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,     Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor,   Qt::SizeHorCursor,
        Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeBDiagCursor};
    if (handle != SCSelectionBorder::kNoHandle)
        setCursor(shapes[handle]);
    else if (inside)
        setCursor(cropMarker_.isMoving() ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    else
        setCursor(Qt::ArrowCursor);
}
