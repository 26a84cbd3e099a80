#pragma once

#include <gtest/gtest.h>

#include <QImage>

enum class Corner { TopLeft, TopRight, BottomLeft, BottomRight };

// Checks that image shows a dark side x side pixel square in corner and is white around it:
// just past the square's inner edges, in the other three corners and in the middle.
testing::AssertionResult showsSquareIn(const QImage& image, Corner corner, int side);

// Checks that every pixel of image is white.
testing::AssertionResult isBlank(const QImage& image);
