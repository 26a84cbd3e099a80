#include "render/InkSpots.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace InkSpots {

void find(const QImage& gray, int threshold, const QRect& marked,
          const std::function<void(const Spot&)>& found) {
    const int w = gray.width(), h = gray.height();
    std::vector<std::uint8_t> ink(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uchar* line = gray.constScanLine(y);
        for (int x = 0; x < w; ++x)
            ink[size_t(y) * size_t(w) + size_t(x)] = line[x] <= threshold;
    }
    // Each spot is found by a flood from its first pixel, which clears what it reaches.
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (!ink[size_t(start)])
            continue;
        Spot spot{QRect(start % w, start / w, 1, 1)};
        ink[size_t(start)] = 0;
        stack.assign(1, start);
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            const int x = at % w, y = at / w;
            ++spot.pixels;
            spot.bounds |= QRect(x, y, 1, 1);
            spot.meetsMarked = spot.meetsMarked || marked.contains(x, y);
            for (const auto& [dx, dy] :
                 {std::pair(1, 0), std::pair(-1, 0), std::pair(0, 1), std::pair(0, -1)}) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= w || ny >= h || !ink[size_t(ny * w + nx)])
                    continue;
                ink[size_t(ny * w + nx)] = 0;
                stack.push_back(ny * w + nx);
            }
        }
        found(spot);
    }
}

} // namespace InkSpots
