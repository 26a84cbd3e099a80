#include "render/InkSpots.h"

#include <algorithm>
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
    // Each spot is found by a flood from its first pixel, which clears what it reaches. Its
    // bounds are kept as numbers: a QRect grown pixel by pixel costs more than the flood.
    std::vector<int> stack;
    const int markedLeft = marked.left(), markedRight = marked.right();
    const int markedTop = marked.top(), markedBottom = marked.bottom();
    for (int start = 0; start < w * h; ++start) {
        if (!ink[size_t(start)])
            continue;
        int left = start % w, right = left, top = start / w, bottom = top;
        Spot spot;
        ink[size_t(start)] = 0;
        stack.assign(1, start);
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            const int x = at % w, y = at / w;
            ++spot.pixels;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            spot.meetsMarked = spot.meetsMarked || (x >= markedLeft && x <= markedRight &&
                                                    y >= markedTop && y <= markedBottom);
            const auto visit = [&](int next) {
                if (ink[size_t(next)]) {
                    ink[size_t(next)] = 0;
                    stack.push_back(next);
                }
            };
            if (x + 1 < w)
                visit(at + 1);
            if (x > 0)
                visit(at - 1);
            if (y + 1 < h)
                visit(at + w);
            if (y > 0)
                visit(at - w);
        }
        spot.bounds = QRect(QPoint(left, top), QPoint(right, bottom));
        found(spot);
    }
}

} // namespace InkSpots
