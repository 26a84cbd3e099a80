#include "crop/PdfBoxText.h"

#include <gtest/gtest.h>

namespace {

struct NumberCase {
    double value;
    const char* text;
};

class PdfBoxTextTest : public testing::TestWithParam<NumberCase> {};

TEST_P(PdfBoxTextTest, WritesTheShortestTextWithinAMillionth) {
    EXPECT_EQ(PdfBoxText::number(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Numbers, PdfBoxTextTest,
                         testing::Values(NumberCase{612, "612"}, NumberCase{-36, "-36"},
                                         NumberCase{300.5, "300.5"}, NumberCase{-10.125, "-10.125"},
                                         NumberCase{0.000001, "0.000001"},
                                         NumberCase{611.9999999999, "612"},
                                         NumberCase{-0.0000001, "0"}));

} // namespace
