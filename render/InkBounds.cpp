#include "render/InkBounds.h"

#include <QColor>

#include <vector>

namespace InkBounds {

std::optional<QRect> of(const QImage& picture, int threshold, int minimumSpotPixels) {
    const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    const int w = gray.width(), h = gray.height();
    if (w == 0 || h == 0)
        return std::nullopt;
    std::vector<std::uint8_t> ink(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uchar* line = gray.constScanLine(y);
        for (int x = 0; x < w; ++x)
            ink[size_t(y) * size_t(w) + size_t(x)] = line[x] <= threshold;
    }
    // Each spot of connected ink, found by a flood from its first pixel, counts unless it is
    // small or touches the edge.
    std::optional<QRect> bounds;
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (!ink[size_t(start)])
            continue;
        QRect spot(start % w, start / w, 1, 1);
        int pixels = 0;
        bool atEdge = false;
        ink[size_t(start)] = 0;
        stack.assign(1, start);
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            const int x = at % w, y = at / w;
            ++pixels;
            atEdge = atEdge || x == 0 || y == 0 || x == w - 1 || y == h - 1;
            spot |= QRect(x, y, 1, 1);
            for (const auto& [dx, dy] :
                 {std::pair(1, 0), std::pair(-1, 0), std::pair(0, 1), std::pair(0, -1)}) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= w || ny >= h || !ink[size_t(ny * w + nx)])
                    continue;
                ink[size_t(ny * w + nx)] = 0;
                stack.push_back(ny * w + nx);
            }
        }
        if (pixels >= minimumSpotPixels && !atEdge)
            bounds = bounds ? *bounds | spot : spot;
    }
    return bounds;
}

} // namespace InkBounds
