#pragma once

#include "render/PageContentMeasurer.h"

#include <QImage>
#include <QRectF>
#include <QSize>

#include <functional>

// The edges of a page's ink made exact: the bounds found on a small picture are rounded out
// and each of their four edges is looked for again at full resolution, in a thin strip across
// it. The small picture misses what is thin: the tail of a page number a fraction of a point
// past the edge it found lightens only part of a pixel there.
//
// A strip reaches from a coarse edge outwards by a coarse pixel and a half, where ink the
// small picture showed too faintly can be, and inwards by two, to find the real edge. In it,
// the ink that counts is as on the small picture: spots that reach into the coarse bounds (the
// ink found there, with all that touches it), and other spots no smaller than the smallest
// the small picture keeps, unless they touch the page's edge (dust, noise and a scanner's
// border). A stray pixel outside the coarse bounds moves no edge.
//
// Pure apart from draw; any thread.
namespace InkEdges {

// The full-resolution pixels: pixels across page (PDF page space, points, y up), their rows
// from the page's top down.
struct Grid {
    QRectF page;
    QSize pixels;
};

// A grey picture (Format_Grayscale8) of box, a part of the page lying on the grid's pixels, in
// exactly pixels; a null image when it cannot be drawn.
using StripDrawer = std::function<QImage(const QRectF& box, const QSize& pixels)>;

// The bounds of the ink in page space, rounded outwards to whole points, within the page:
// coarse, as found on a small picture of coarsePixel points a pixel, with edges moved to the
// outermost ink of their strips, and slack grid pixels further out (for strips that may show
// ink a pixel off from where the page is drawn). An edge whose strip cannot be drawn, or shows
// no ink, stays where the coarse bounds put it.
QRectF refine(const QRectF& coarse, double coarsePixel, const Grid& grid,
              const ContentBoundsOptions& options, int slack, const StripDrawer& draw);

} // namespace InkEdges
