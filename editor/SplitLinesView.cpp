#include "editor/SplitLinesView.h"

#include "crop/RectMath.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

// How near a line the pointer grabs it, in pixels.
constexpr double kReach = 5;
// The narrowest a dragged line leaves a part, in points.
constexpr double kNarrowest = 1;

const QColor kLine(0xff, 0x9f, 0x1c);

} // namespace

SplitLinesView::SplitLinesView(QWidget& pageView) : QWidget(&pageView) {
    setMouseTracking(true);
    hide();
    pageView.installEventFilter(this);
}

void SplitLinesView::showSplit(const PageSplit& split, const RMCropInfo& record) {
    split_ = split;
    record_ = record;
    setGeometry(parentWidget()->rect());
    show();
    raise();
    update();
}

bool SplitLinesView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

QRectF SplitLinesView::kept() const {
    const QRectF page(QPointF(0, 0), record_.pageRect.size());
    return RectMath::intersection(RectMath::standardized(record_.cropRect), page).value_or(page);
}

std::vector<double> SplitLinesView::lines() const {
    const QRectF whole = kept();
    return split_.lineOffsets(split_.linesDown() ? whole.width() : whole.height())
        .value_or(std::vector<double>());
}

QPointF SplitLinesView::toPixels(const QPointF& point) const {
    const QSizeF page = record_.pageRect.size();
    if (page.isEmpty())
        return {};
    return {point.x() * width() / page.width(), height() - point.y() * height() / page.height()};
}

double SplitLinesView::alongKept(const QPointF& pixel) const {
    const QSizeF page = record_.pageRect.size();
    const QRectF whole = kept();
    if (split_.linesDown())
        return pixel.x() * page.width() / std::max(1, width()) - whole.left();
    // Rows are measured from the top of the kept part; display space runs upward.
    const double y = (height() - pixel.y()) * page.height() / std::max(1, height());
    return whole.bottom() - y;
}

std::optional<size_t> SplitLinesView::lineAt(const QPointF& pixel) const {
    const QRectF whole = kept();
    const std::vector<double> at = lines();
    for (size_t i = 0; i < at.size(); ++i) {
        const QPointF on = split_.linesDown()
                               ? toPixels({whole.left() + at[i], whole.center().y()})
                               : toPixels({whole.center().x(), whole.bottom() - at[i]});
        const double distance =
            split_.linesDown() ? std::abs(pixel.x() - on.x()) : std::abs(pixel.y() - on.y());
        if (distance <= kReach)
            return i;
    }
    return std::nullopt;
}

void SplitLinesView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF whole = kept();
    const auto pixels = [this](const QRectF& rect) {
        return QRectF(toPixels(rect.topLeft()), toPixels(rect.bottomRight())).normalized();
    };
    // What no part keeps (the gaps) is shaded; each part is outlined.
    QPainterPath shaded;
    shaded.addRect(pixels(whole));
    const std::vector<QRectF> parts = split_.parts(whole);
    for (const QRectF& part : parts) {
        QPainterPath shown;
        shown.addRect(pixels(part));
        shaded = shaded.subtracted(shown);
    }
    painter.fillPath(shaded, QColor(0, 0, 0, 90));
    painter.setPen(QPen(kLine, 1, Qt::DashLine));
    for (const QRectF& part : parts)
        painter.drawRect(pixels(part).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setPen(QPen(kLine, 2));
    for (const double at : lines()) {
        if (split_.linesDown()) {
            painter.drawLine(toPixels({whole.left() + at, whole.top()}),
                             toPixels({whole.left() + at, whole.bottom()}));
        } else {
            painter.drawLine(toPixels({whole.left(), whole.bottom() - at}),
                             toPixels({whole.right(), whole.bottom() - at}));
        }
    }
}

void SplitLinesView::mousePressEvent(QMouseEvent* event) {
    dragged_ = event->button() == Qt::LeftButton ? lineAt(event->position()) : std::nullopt;
}

void SplitLinesView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragged_) {
        const bool over = lineAt(event->position()).has_value();
        setCursor(over ? (split_.linesDown() ? Qt::SplitHCursor : Qt::SplitVCursor)
                       : Qt::ArrowCursor);
        return;
    }
    std::vector<double> at = lines();
    const size_t i = *dragged_;
    const QRectF whole = kept();
    const double length = split_.linesDown() ? whole.width() : whole.height();
    const double low = (i == 0 ? 0 : at[i - 1]) + kNarrowest;
    const double high = (i + 1 == at.size() ? length : at[i + 1]) - kNarrowest;
    if (low > high)
        return;
    at[i] = std::clamp(std::round(alongKept(event->position()) * 10) / 10, low, high);
    std::vector<CropLength> placed;
    for (const double line : at)
        placed.push_back({line, CropLength::Unit::Points});
    emit linesMoved(placed);
}

void SplitLinesView::mouseReleaseEvent(QMouseEvent*) {
    dragged_.reset();
}
