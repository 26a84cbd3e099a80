#pragma once

#include <QImage>
#include <QRect>

#include <optional>

// The bounds of the ink in a picture of a page: the pixels at most threshold light, less the
// spots of fewer than minimumSpotPixels connected pixels (dust, noise) and the dark regions
// that touch the picture's edge (the border a scanner leaves around a sheet). Nothing when
// no ink is left. Pure; any thread.
namespace InkBounds {

std::optional<QRect> of(const QImage& picture, int threshold, int minimumSpotPixels);

} // namespace InkBounds
