#include "editor/PageZoom.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array kLadder{0.1, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5,
                             2.0, 3.0,  4.0, 6.0,  8.0, 12.0, 16.0};
// A scale this close to a rung is on it: zooming in from 99.9% goes to 125%, not 100%.
constexpr double kOnRung = 1.02;

} // namespace

void PageZoom::setScale(double scale) {
    fit_ = Fit::Scale;
    scale_ = std::clamp(std::isfinite(scale) ? scale : 1.0, kMinimumScale, kMaximumScale);
}

void PageZoom::zoomIn(double shown) {
    const auto next =
        std::find_if(kLadder.begin(), kLadder.end(), [&](double s) { return s > shown * kOnRung; });
    setScale(next == kLadder.end() ? kMaximumScale : *next);
}

void PageZoom::zoomOut(double shown) {
    const auto next = std::find_if(kLadder.rbegin(), kLadder.rend(),
                                   [&](double s) { return s < shown / kOnRung; });
    setScale(next == kLadder.rend() ? kMinimumScale : *next);
}

QSize PageZoom::viewSize(const QSizeF& page, double pixelsPerPoint, const QSize& area,
                         const QSize& fitPage, int scrollBar) const {
    if (page.isEmpty() || fit_ == Fit::Page)
        return fitPage;
    const auto sized = [&](double pixelsAcross) {
        const double across = std::max(1.0, pixelsAcross);
        return QSize(int(std::lround(across)),
                     std::max(1, int(std::lround(across * page.height() / page.width()))));
    };
    if (fit_ == Fit::Scale)
        return sized(page.width() * pixelsPerPoint * scale_);
    const QSize wide = sized(area.width());
    return wide.height() <= area.height() ? wide : sized(area.width() - scrollBar);
}
