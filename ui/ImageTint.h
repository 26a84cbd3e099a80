#pragma once

#include <QColor>
#include <QImage>

// A copy of image in which every pixel keeps its own alpha and takes color in proportion to
// color's alpha (source-atop compositing): an opaque colour gives the image's shape filled
// with that colour, a fully transparent one the unchanged image. The copy keeps the image's
// device pixel ratio; image itself is not changed.
QImage tintColor(const QImage& image, const QColor& color);
