// Where a page's content is: as drawn, clipped to the media box and independent of rotation;
// and, for a page whose drawing covers it whole, as ink, ignoring dust and a dark border.

#include "render/MupdfRasterizer.h"
#include "render/ProcessRasterizer.h"
#include "tests/support/CaseName.h"
#include "tests/support/ExpectNear.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

namespace {

using ::PrintTo;

std::optional<QRectF> boundsOf(const TestPage& page, ContentBoundsOptions::Mode mode) {
    MupdfRasterizer rasterizer(
        {PdfSourceData::fromBytes(TestPdfBuilder().addPage(page).bytes()), {}});
    ContentBoundsOptions options;
    options.mode = mode;
    return rasterizer.contentBounds(0, options);
}

// Bounds found by ink are exact to the small picture's pixel, about 2.5 points.
void expectWithinInkPixel(const QRectF& actual, const QRectF& expected) {
    EXPECT_NEAR(actual.left(), expected.left(), 3);
    EXPECT_NEAR(actual.top(), expected.top(), 3);
    EXPECT_NEAR(actual.right(), expected.right(), 3);
    EXPECT_NEAR(actual.bottom(), expected.bottom(), 3);
}

struct DrawnCase {
    const char* name;
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
    testing::Values(
        DrawnCase{"Rectangle", "0 g 100 150 200 50 re f", 0, QRectF(100, 150, 200, 50)},
        DrawnCase{"OnATurnedPage", "0 g 100 150 200 50 re f", 90, QRectF(100, 150, 200, 50)},
        DrawnCase{"TwoRectangles", "0 g 10 20 30 40 re f 0 g 500 700 12 13 re f", 180,
                  QRectF(10, 20, 502, 693)},
        DrawnCase{"PastTheMediaBox", "0 g -50 -50 200 200 re f", 0, QRectF(0, 0, 150, 150)},
        // An image: the unit square its matrix maps.
        DrawnCase{"Image",
                  "q 100 0 0 50 200 300 cm BI /W 2 /H 2 /CS /G /BPC 8 /F /AHx ID 00FF00FF> EI Q",
                  270, QRectF(200, 300, 100, 50)}),
    CaseName());

// A thin rule at the page's foot is never lost: its bounds hold the whole stroke, at most
// the allowance for a mitred corner (half the width times the miter limit) beyond it.
TEST(ContentBoundsTest, AThinRuleAtThePageFootIsHeldWhole) {
    TestPage page;
    page.content = "0 G 0.5 w 72 36 m 540 36 l S";
    const auto bounds = boundsOf(page, ContentBoundsOptions::Mode::Automatic);
    ASSERT_TRUE(bounds);
    const QRectF stroke(72, 35.75, 468, 0.5);
    EXPECT_TRUE(bounds->contains(stroke));
    EXPECT_TRUE(stroke.adjusted(-5, -5, 5, 5).contains(*bounds));
}

// Text is bounded by its glyphs' boxes: from the baseline's start to past its last letter,
// and from below the baseline to the font's height above it.
TEST(ContentBoundsTest, TextIsBoundedWhereItIsSet) {
    TestPage page;
    page.content = "BT /F1 20 Tf 100 700 Td (Page 12) Tj ET";
    const auto bounds = boundsOf(page, ContentBoundsOptions::Mode::Automatic);
    ASSERT_TRUE(bounds);
    EXPECT_NEAR(bounds->left(), 100, 2);
    EXPECT_GT(bounds->right(), 160);
    EXPECT_LT(bounds->right(), 190);
    EXPECT_LT(bounds->top(), 700);
    EXPECT_GT(bounds->top(), 690);
    EXPECT_GT(bounds->bottom(), 712);
    EXPECT_LT(bounds->bottom(), 722);
}

// Paper painted white over the whole page shows nothing: the bounds are those of what shows
// on it, the text, not of the white rectangle nobody can see.
TEST(ContentBoundsTest, APagePaintedWhiteIsBoundedByWhatShowsOnIt) {
    TestPage page;
    page.content = "1 g 0 0 612 792 re f 0 g 200 300 100 20 re f";
    const auto bounds = boundsOf(page, ContentBoundsOptions::Mode::Automatic);
    ASSERT_TRUE(bounds);
    expectWithinInkPixel(*bounds, QRectF(200, 300, 100, 20));
}

// A scan-like page: white paper painted over the whole page, a dark frame along its edges,
// specks of dust, and a block of text-like ink.
class ScanBorderTest : public testing::TestWithParam<const char*> {};

TEST_P(ScanBorderTest, AScanLikePageIsMeasuredByItsInkWithoutDustOrBorder) {
    TestPage page;
    page.content = QByteArray("1 g 0 0 612 792 re f ") + GetParam() +
                   " 0 0 612 12 re f 0 780 612 12 re f 0 0 12 792 re f 600 0 12 792 re f "
                   "0.2 g 300 60 1 1 re f 80 700 1 1 re f "
                   "0 g 150 200 300 400 re f";
    const auto drawn = boundsOf(page, ContentBoundsOptions::Mode::Drawn);
    ASSERT_TRUE(drawn);
    expectNear(*drawn, QRectF(0, 0, 612, 792));
    const auto ink = boundsOf(page, ContentBoundsOptions::Mode::Automatic);
    ASSERT_TRUE(ink);
    expectWithinInkPixel(*ink, QRectF(150, 200, 300, 400));
}

// The scanner's border, black or grey.
INSTANTIATE_TEST_SUITE_P(Borders, ScanBorderTest, testing::Values("0 g", "0.5 g"));

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
