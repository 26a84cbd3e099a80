#pragma once

#include "crop/CropLength.h"

#include <QRectF>

#include <optional>
#include <vector>

// How a page is split into parts: into equal columns and rows, or at lines the user placed,
// with a gap dropped across each line (the shadow of a book's spine), read left to right or,
// for books bound on the right, right to left, then top to bottom.
struct PageSplit {
    int columns = 2;
    int rows = 1;
    // Where the lines between the columns are, each from the left edge of what is split, or
    // with one column, those between the rows from its top edge; none for equal parts. Per
    // cent is of the side the lines divide.
    std::vector<CropLength> lines = {};
    // Dropped across every line, half on either side; per cent is of the side divided.
    CropLength gap = {};
    bool rightToLeft = false;

    int partCount() const { return columns * rows; }
    // Whether the lines placed go down the page, between columns, rather than across it.
    bool linesDown() const { return columns > 1; }
    // Where the lines that can be placed lie on a side length long (the width of what is split
    // when they go down the page, its height otherwise), in points from its left or top edge;
    // nothing when the lines placed are not one for each line there is.
    std::optional<std::vector<double>> lineOffsets(double length) const;

    // The parts of whole, a rectangle in display space (points, y upward), in reading order;
    // none when the split does not fit it: lines out of order or off it, a gap that leaves a
    // part nothing, or fewer than two parts or more than a page is split into.
    std::vector<QRectF> parts(const QRectF& whole) const;

    bool operator==(const PageSplit&) const = default;
};
