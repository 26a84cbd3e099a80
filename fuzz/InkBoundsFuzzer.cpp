// Untrusted pixels through the ink bounds of scanned pages. The first byte gives the picture's
// width (1 to 64), the next two the threshold and the smallest spot; the rest are gray pixels,
// row by row, as many whole rows as there are. Whatever the pixels, bounds found lie inside the
// picture without touching its edge (ink there is the scanner's border) and each of their four
// sides has ink on it; a picture without ink at or below the threshold has no bounds.

#include "fuzz/FuzzRequire.h"
#include "render/InkBounds.h"

#include <cstdint>
#include <cstring>

namespace {

bool isInk(const QImage& picture, int x, int y, int threshold) {
    return picture.constScanLine(y)[x] <= threshold;
}

// Whether a pixel of the row or column from (x, y) to (x + dx * n, y + dy * n) is ink.
bool inkAlong(const QImage& picture, int x, int y, int dx, int dy, int n, int threshold) {
    for (int i = 0; i < n; ++i) {
        if (isInk(picture, x + i * dx, y + i * dy, threshold))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const int width = 1 + data[0] % 64;
    const int threshold = data[1];
    const int minimumSpot = data[2];
    const int height = int((size - 3) / std::size_t(width));
    QImage picture(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y)
        std::memcpy(picture.scanLine(y), data + 3 + std::size_t(y * width), std::size_t(width));

    const std::optional<QRect> bounds = InkBounds::of(picture, threshold, minimumSpot);
    if (!bounds) {
        return 0;
    }
    FUZZ_REQUIRE(QRect(1, 1, width - 2, height - 2).contains(*bounds));
    FUZZ_REQUIRE(
        inkAlong(picture, bounds->left(), bounds->top(), 1, 0, bounds->width(), threshold));
    FUZZ_REQUIRE(
        inkAlong(picture, bounds->left(), bounds->bottom(), 1, 0, bounds->width(), threshold));
    FUZZ_REQUIRE(
        inkAlong(picture, bounds->left(), bounds->top(), 0, 1, bounds->height(), threshold));
    FUZZ_REQUIRE(
        inkAlong(picture, bounds->right(), bounds->top(), 0, 1, bounds->height(), threshold));
    return 0;
}
