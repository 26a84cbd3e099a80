#pragma once

#include <QImage>
#include <QRect>

#include <functional>

// The spots of ink in a grey picture: each group of pixels at most threshold light that touch
// one another across a side (not only at a corner). Pure; any thread.
namespace InkSpots {

struct Spot {
    QRect bounds;
    int pixels = 0;
    // Whether a pixel of the spot lies in the region the caller marked.
    bool meetsMarked = false;
};

// Calls found for each spot of gray (Format_Grayscale8), in no particular order.
void find(const QImage& gray, int threshold, const QRect& marked,
          const std::function<void(const Spot&)>& found);

} // namespace InkSpots
