#pragma once

#include <gtest/gtest.h>

#include <QRectF>

// Expects actual to be expected to within `within` in x, y, width and height.
inline void expectNear(const QRectF& actual, const QRectF& expected, double within = 1e-9) {
    EXPECT_NEAR(actual.x(), expected.x(), within);
    EXPECT_NEAR(actual.y(), expected.y(), within);
    EXPECT_NEAR(actual.width(), expected.width(), within);
    EXPECT_NEAR(actual.height(), expected.height(), within);
}
