#include "render/InkBounds.h"

#include "render/InkSpots.h"

namespace InkBounds {

std::optional<QRect> of(const QImage& picture, int threshold, int minimumSpotPixels) {
    const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    // A spot counts unless it is small or touches the edge, which the inner rectangle does
    // not reach.
    const QRect inner = gray.rect().adjusted(1, 1, -1, -1);
    std::optional<QRect> bounds;
    InkSpots::find(gray, threshold, {}, [&](const InkSpots::Spot& spot) {
        if (spot.pixels >= minimumSpotPixels && inner.contains(spot.bounds))
            bounds = bounds ? *bounds | spot.bounds : spot.bounds;
    });
    return bounds;
}

} // namespace InkBounds
