// Where a page's content is: as drawn, clipped to the media box and independent of rotation;
// and, for a page whose drawing covers it whole, as ink, ignoring dust and a dark border. (The
// render host measures as here: the command line's fits measure there.)

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

// A scan-like page: white paper painted over the whole page, a dark frame along its edges in
// the border's colour, specks of dust, and a block of text-like ink.
QByteArray scan(const char* border) {
    return QByteArray("1 g 0 0 612 792 re f ") + border +
           " 0 0 612 12 re f 0 780 612 12 re f 0 0 12 792 re f 600 0 12 792 re f "
           "0.2 g 300 60 1 1 re f 80 700 1 1 re f 0 g 150 200 300 400 re f";
}

struct DrawnCase {
    const char* name;
    QByteArray content;
    int rotation;
    QRectF expected;
};

class DrawnBoundsTest : public testing::TestWithParam<DrawnCase> {};

TEST_P(DrawnBoundsTest, AreWhatThePageDrawsWithinItsMediaBox) {
    const auto bounds = boundsOf({.rotate = GetParam().rotation, .content = GetParam().content},
                                 ContentBoundsOptions::Mode::Drawn);
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
                  270, QRectF(200, 300, 100, 50)},
        // As drawn, the white paper counts.
        DrawnCase{"Scan", scan("0 g"), 0, QRectF(0, 0, 612, 792)}),
    CaseName());

struct InkCase {
    const char* name;
    QByteArray content;
    // The bounds hold inner and lie within outer.
    QRectF inner, outer;
};

class InkBoundsTest : public testing::TestWithParam<InkCase> {};

TEST_P(InkBoundsTest, HoldWhatShowsAndLittleMore) {
    const auto bounds =
        boundsOf({.content = GetParam().content}, ContentBoundsOptions::Mode::Automatic);
    ASSERT_TRUE(bounds);
    const auto said = testing::Message() << bounds->x() << ", " << bounds->y() << ", "
                                         << bounds->width() << " x " << bounds->height();
    EXPECT_TRUE(bounds->contains(GetParam().inner)) << said;
    EXPECT_TRUE(GetParam().outer.contains(*bounds)) << said;
}

QRectF grown(const QRectF& rect, double by) {
    return rect.adjusted(-by, -by, by, by);
}

// Found by ink, bounds are exact to the small picture's pixel, about 2.5 points.
const QRectF kWhite(200, 300, 100, 20), kScanInk(150, 200, 300, 400);

const InkCase kInkCases[] = {
    // The whole stroke, at most the allowance for a mitred corner (half the width times the
    // miter limit) beyond it.
    {"ThinRuleAtThePageFoot", "0 G 0.5 w 72 36 m 540 36 l S", QRectF(72, 35.75, 468, 0.5),
     grown(QRectF(72, 35.75, 468, 0.5), 5)},
    // Glyphs' boxes: from the baseline's start to past its last letter, and from below the
    // baseline to the font's height above it.
    {"Text", "BT /F1 20 Tf 100 700 Td (Page 12) Tj ET", {102, 700, 58, 12}, {98, 690, 92, 32}},
    // Paper painted white shows nothing: what shows on it does.
    {"PaintedWhite", "1 g 0 0 612 792 re f 0 g 200 300 100 20 re f", grown(kWhite, -3),
     grown(kWhite, 3)},
    {"ScanWithABlackBorder", scan("0 g"), grown(kScanInk, -3), grown(kScanInk, 3)},
    {"ScanWithAGreyBorder", scan("0.5 g"), grown(kScanInk, -3), grown(kScanInk, 3)},
};

INSTANTIATE_TEST_SUITE_P(Pages, InkBoundsTest, testing::ValuesIn(kInkCases), CaseName());

TEST(ContentBoundsTest, TheRenderHostHasNoneForAPageThatIsNotThere) {
    ProcessRasterizer host({PdfSourceData::fromBytes(TestPdfBuilder().addPage({}).bytes()), {}},
                           CROPMARK_RENDER_HOST);
    EXPECT_FALSE(host.contentBounds(7, {}));
}

} // namespace
