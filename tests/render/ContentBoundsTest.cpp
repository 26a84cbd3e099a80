// Where a page's content is: as drawn, clipped to the media box and independent of rotation;
// and, for a page whose drawing covers it whole, as ink, ignoring dust and a dark border.

#include "render/MupdfRasterizer.h"
#include "render/ProcessRasterizer.h"
#include "tests/support/ExpectNear.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

namespace {

std::optional<QRectF> boundsOf(const TestPage& page, ContentBoundsOptions::Mode mode) {
    MupdfRasterizer rasterizer(
        {PdfSourceData::fromBytes(TestPdfBuilder().addPage(page).bytes()), {}});
    ContentBoundsOptions options;
    options.mode = mode;
    return rasterizer.contentBounds(0, options);
}

struct DrawnCase {
    const char* content;
    int rotation;
    QRectF expected;
};

class DrawnBoundsTest : public testing::TestWithParam<DrawnCase> {};

TEST_P(DrawnBoundsTest, AreWhatThePageDrawsWithinItsMediaBox) {
    TestPage page;
    page.content = GetParam().content;
    page.rotate = GetParam().rotation;
    const auto bounds = boundsOf(page, ContentBoundsOptions::Mode::Drawn);
    ASSERT_TRUE(bounds);
    expectNear(*bounds, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, DrawnBoundsTest,
    testing::Values(DrawnCase{"0 g 100 150 200 50 re f", 0, QRectF(100, 150, 200, 50)},
                    DrawnCase{"0 g 100 150 200 50 re f", 90, QRectF(100, 150, 200, 50)},
                    DrawnCase{"0 g 10 20 30 40 re f 0 g 500 700 12 13 re f", 180,
                              QRectF(10, 20, 502, 693)},
                    DrawnCase{"0 g -50 -50 200 200 re f", 0, QRectF(0, 0, 150, 150)}));

TEST(ContentBoundsTest, AnEmptyPageHasNone) {
    EXPECT_FALSE(boundsOf({}, ContentBoundsOptions::Mode::Automatic));
}

// A scan-like page: white paper painted over the whole page, a dark frame along its edges,
// specks of dust, and a block of text-like ink.
TEST(ContentBoundsTest, AScanLikePageIsMeasuredByItsInkWithoutDustOrBorder) {
    TestPage page;
    page.content = "1 g 0 0 612 792 re f "
                   "0 g 0 0 612 12 re f 0 780 612 12 re f 0 0 12 792 re f 600 0 12 792 re f "
                   "0.2 g 300 60 1 1 re f 80 700 1 1 re f "
                   "0 g 150 200 300 400 re f";
    const auto drawn = boundsOf(page, ContentBoundsOptions::Mode::Drawn);
    ASSERT_TRUE(drawn);
    expectNear(*drawn, QRectF(0, 0, 612, 792));
    const auto ink = boundsOf(page, ContentBoundsOptions::Mode::Automatic);
    ASSERT_TRUE(ink);
    // Within the picture's pixel, about 2.5 points.
    EXPECT_NEAR(ink->left(), 150, 3);
    EXPECT_NEAR(ink->top(), 200, 3);
    EXPECT_NEAR(ink->right(), 450, 3);
    EXPECT_NEAR(ink->bottom(), 600, 3);
}

TEST(ContentBoundsTest, AreMeasuredInTheRenderHostAsHere) {
    TestPage page;
    page.content = "0 g 100 150 200 50 re f";
    const PdfRenderSource source{PdfSourceData::fromBytes(TestPdfBuilder().addPage(page).bytes()),
                                 {}};
    ProcessRasterizer host(source, CROPMARK_RENDER_HOST);
    const auto bounds = host.contentBounds(0, {});
    ASSERT_TRUE(bounds);
    expectNear(*bounds, QRectF(100, 150, 200, 50));
    EXPECT_FALSE(host.contentBounds(7, {}));
}

} // namespace
