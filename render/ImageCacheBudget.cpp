#include "render/ImageCacheBudget.h"

namespace ImageCacheBudget {

namespace {

constexpr qreal kBytesPerPixel = 4;
// The screen in view, two above and two below.
constexpr qreal kStripScreens = 5;
constexpr qreal kPageViewPictures = 2;

qreal area(const QSize& size) {
    return qreal(qMax(0, size.width())) * qMax(0, size.height());
}

} // namespace

qsizetype bytesFor(const QSize& stripSize, const QSize& pageViewSize, qreal devicePixelRatio) {
    const qreal logicalPixels =
        area(stripSize) * kStripScreens + area(pageViewSize) * kPageViewPictures;
    return qsizetype(logicalPixels * devicePixelRatio * devicePixelRatio * kBytesPerPixel);
}

} // namespace ImageCacheBudget
