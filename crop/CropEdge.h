#pragma once

#include <QFlags>

// Edges of a crop, in the page's displayed orientation. All four together stand for the
// whole crop, as when it is moved.
enum class CropEdge : unsigned { Left = 1, Bottom = 2, Right = 4, Top = 8 };
Q_DECLARE_FLAGS(CropEdges, CropEdge)
Q_DECLARE_OPERATORS_FOR_FLAGS(CropEdges)

inline constexpr CropEdges kWholeCrop =
    CropEdges(CropEdge::Left) | CropEdge::Bottom | CropEdge::Right | CropEdge::Top;
