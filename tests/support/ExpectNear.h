#pragma once

#include <gtest/gtest.h>

#include <QRectF>

// Expects actual to be expected to within a billionth in x, y, width and height.
inline void expectNear(const QRectF& actual, const QRectF& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}
