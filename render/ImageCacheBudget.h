#pragma once

#include <QSize>
#include <QtGlobal>

// How many bytes of page pictures are worth keeping for one window.
//
// A picture draws again in a few milliseconds, so memory is spent only on what the window
// shows and what it is about to show: the strip's pictures for two screens above and two
// below the one in view (scrolling back redraws from memory), and the page view's picture with
// the one shown before it. Sizes are in logical pixels; pictures are drawn at
// devicePixelRatio, four bytes a pixel.
namespace ImageCacheBudget {

qsizetype bytesFor(const QSize& stripSize, const QSize& pageViewSize, qreal devicePixelRatio);

} // namespace ImageCacheBudget
