#include "render/InkEdges.h"

#include "render/InkSpots.h"

#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>

namespace InkEdges {

namespace {

// Grid coordinates: x from the page's left, y from its top down, in pixels.
struct Scale {
    QRectF page;
    double x, y;

    double gridX(double pageX) const { return (pageX - page.left()) * x; }
    double gridY(double pageY) const { return (page.bottom() - pageY) * y; }
    QRectF pageBox(const QRect& area) const {
        return QRectF(
            QPointF(page.left() + area.left() / x, page.bottom() - (area.bottom() + 1) / y),
            QPointF(page.left() + (area.right() + 1) / x, page.bottom() - area.top() / y));
    }
};

enum Side { Left, Top, Right, Bottom };

// The strip across side of coarse (grid pixels), within all.
QRect stripAcross(Side side, const QRect& coarse, int reach, int depth, const QRect& all) {
    const QRect across = coarse.adjusted(-reach, -reach, reach, reach);
    QRect strip;
    switch (side) {
    case Left:
        strip = QRect(QPoint(coarse.left() - reach, across.top()),
                      QPoint(coarse.left() + depth - 1, across.bottom()));
        break;
    case Right:
        strip = QRect(QPoint(coarse.right() - depth + 1, across.top()),
                      QPoint(coarse.right() + reach, across.bottom()));
        break;
    case Top:
        strip = QRect(QPoint(across.left(), coarse.top() - reach),
                      QPoint(across.right(), coarse.top() + depth - 1));
        break;
    case Bottom:
        strip = QRect(QPoint(across.left(), coarse.bottom() - depth + 1),
                      QPoint(across.right(), coarse.bottom() + reach));
        break;
    }
    return strip & all;
}

// Whether spot, in strip, touches a side of strip that is a side of all.
bool touchesPageEdge(const QRect& spot, const QRect& strip, const QRect& all) {
    return (spot.left() == 0 && strip.left() == all.left()) ||
           (spot.top() == 0 && strip.top() == all.top()) ||
           (spot.right() == strip.width() - 1 && strip.right() == all.right()) ||
           (spot.bottom() == strip.height() - 1 && strip.bottom() == all.bottom());
}

// The grid coordinate of side's outermost counted ink in strip (the far side of its last
// pixel for the right and bottom sides); nothing when there is none or no picture.
std::optional<int> outermostInk(Side side, const QRect& strip, const QRect& coarse,
                                const QRect& all, const ContentBoundsOptions& options,
                                int minimumSpotPixels, const QImage& picture) {
    if (picture.size() != strip.size() || picture.format() != QImage::Format_Grayscale8)
        return std::nullopt;
    std::optional<int> outermost;
    const QRect marked = coarse.translated(-strip.topLeft());
    InkSpots::find(picture, options.inkThreshold, marked, [&](const InkSpots::Spot& spot) {
        if (!spot.meetsMarked &&
            (spot.pixels < minimumSpotPixels || touchesPageEdge(spot.bounds, strip, all)))
            return;
        const QRect at = spot.bounds.translated(strip.topLeft());
        switch (side) {
        case Left:
            outermost = std::min(outermost.value_or(at.left()), at.left());
            break;
        case Top:
            outermost = std::min(outermost.value_or(at.top()), at.top());
            break;
        case Right:
            outermost = std::max(outermost.value_or(at.right() + 1), at.right() + 1);
            break;
        case Bottom:
            outermost = std::max(outermost.value_or(at.bottom() + 1), at.bottom() + 1);
            break;
        }
    });
    return outermost;
}

} // namespace

QRectF refine(const QRectF& coarse, double coarsePixel, const Grid& grid,
              const ContentBoundsOptions& options, int slack, const StripDrawer& draw) {
    const QRectF page = grid.page.normalized();
    const QRect all(QPoint(0, 0), grid.pixels);
    if (page.isEmpty() || all.isEmpty())
        return coarse;
    const Scale scale{page, grid.pixels.width() / page.width(),
                      grid.pixels.height() / page.height()};
    const QRect inCoarse =
        QRect(
            QPoint(qFloor(scale.gridX(coarse.left())), qFloor(scale.gridY(coarse.bottom()))),
            QPoint(qCeil(scale.gridX(coarse.right())) - 1, qCeil(scale.gridY(coarse.top())) - 1)) &
        all;
    if (inCoarse.isEmpty())
        return coarse;
    const double coarseGrid = coarsePixel * std::max(scale.x, scale.y);
    const int reach = qCeil(1.5 * coarseGrid), depth = qCeil(2 * coarseGrid);
    const int minimumSpotPixels = qCeil(options.minimumSpotPixels * coarseGrid * coarseGrid);

    // Left, top, right and bottom in grid pixels, the right and bottom past the last pixel.
    std::array<int, 4> edges{inCoarse.left(), inCoarse.top(), inCoarse.right() + 1,
                             inCoarse.bottom() + 1};
    for (const Side side : {Left, Top, Right, Bottom}) {
        const QRect strip = stripAcross(side, inCoarse, reach, depth, all);
        if (strip.isEmpty())
            continue;
        if (const auto ink = outermostInk(side, strip, inCoarse, all, options, minimumSpotPixels,
                                          draw(scale.pageBox(strip), strip.size())))
            edges[side] = *ink;
    }
    const QRect found = QRect(QPoint(edges[Left] - slack, edges[Top] - slack),
                              QPoint(edges[Right] + slack - 1, edges[Bottom] + slack - 1)) &
                        all;
    if (found.isEmpty())
        return coarse;
    // Whole points, outwards; a coordinate a rounding error off a whole point stays on it.
    constexpr double kRoundingError = 1e-6;
    const QRectF exact = scale.pageBox(found);
    return QRectF(QPointF(std::floor(exact.left() + kRoundingError),
                          std::floor(exact.top() + kRoundingError)),
                  QPointF(std::ceil(exact.right() - kRoundingError),
                          std::ceil(exact.bottom() - kRoundingError)))
        .intersected(page);
}

} // namespace InkEdges
