#include "editor/PageSquareFit.h"

#include "crop/CropGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// The smallest side the square is given, so that a page never has a zero or negative size.
constexpr double kMinimumSide = 1.0;

} // namespace

PageSquareFit::PageSquareFit(const QSizeF& area) {
    const double side = std::max(kMinimumSide, std::min(area.width(), area.height()));
    scale_ = side / CropGeometry::kPageSquareSide;
    square_ = QRectF((area.width() - side) * 0.5, (area.height() - side) * 0.5, side, side);
}

QRect PageSquareFit::frameForShowRect(const QRectF& showRect) const {
    // Whole pixels from the rounded edges, so a frame never loses a pixel at either end.
    const double left = square_.left() + showRect.left() * scale_;
    const double right = square_.left() + showRect.right() * scale_;
    const double top = square_.bottom() - showRect.bottom() * scale_;
    const double bottom = square_.bottom() - showRect.top() * scale_;
    const QPoint topLeft(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
    const QPoint end(static_cast<int>(std::lround(right)), static_cast<int>(std::lround(bottom)));
    return QRect(topLeft,
                 QSize(std::max(1, end.x() - topLeft.x()), std::max(1, end.y() - topLeft.y())));
}
