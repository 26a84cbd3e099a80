// Crop geometry: paper sizes and ratios laid on pages, pages shown in the page view, and boxes
// and rotations as files write them.

#include "crop/CropGeometry.h"
#include "crop/CropPreset.h"
#include "crop/PageGeometry.h"
#include "crop/PdfBoxText.h"
#include "crop/RectString.h"
#include "tests/support/CaseName.h"
#include "tests/support/ExpectNear.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <ostream>

namespace {

using ::PrintTo;

const double kMm = 72 / 25.4;
const QSizeF kA4(210 * kMm, 297 * kMm);

struct PlacementCase {
    const char* name;
    const char* preset;
    QSizeF page;
    QRectF around;
    QRectF expected;
};

class PresetPlacement : public testing::TestWithParam<PlacementCase> {};

TEST_P(PresetPlacement, StaysOnThePage) {
    const PlacementCase& c = GetParam();
    const auto builtIns = CropPreset::builtIns();
    const auto found = std::ranges::find(builtIns, QString::fromUtf8(c.preset), &CropPreset::name);
    ASSERT_NE(found, builtIns.end());
    const CropPreset& preset = *found;
    const QRectF placed = preset.placed(c.page, c.around);
    expectNear(placed, c.expected);
    EXPECT_TRUE(QRectF(QPointF(0, 0), c.page).adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(placed));
    if (const auto ratio = preset.lockedRatio()) {
        EXPECT_NEAR(placed.width() * ratio->height(), placed.height() * ratio->width(), 1e-9);
    }
}

const PlacementCase kPlacements[] = {
    // A5 on an A4 page as displayed, upright or turned: the paper takes the page's
    // orientation, centred on the content as far as the page lets it be.
    {"PaperOnUprightPage",
     "A5",
     kA4,
     {250, 350, 100, 80},
     {300 - 74 * kMm, 390 - 105 * kMm, 148 * kMm, 210 * kMm}},
    {"PaperOnTurnedPage",
     "A5",
     kA4.transposed(),
     {250, 350, 100, 80},
     {300 - 105 * kMm, 62 * kMm, 210 * kMm, 148 * kMm}},
    // Portrait paper on a square page: as tall as the page, centred on the crop.
    {"LetterTallerThanPage", "Letter", {700, 700}, {0, 0, 700, 700}, {44, 0, 612, 700}},
    {"LegalBiggerBothWays", "Legal", {500, 700}, {10, 10, 50, 50}, {0, 0, 500, 700}},
    // Around a box in the top-right corner: pushed back onto the page, not shrunk.
    {"PaperPushedIn", "6 \u00d7 9 in", {612, 792}, {550, 700, 60, 90}, {180, 144, 432, 648}},
    {"AspectHoldsWideContent", "16:9", {612, 792}, {10, 300, 200, 100}, {10, 293.75, 200, 112.5}},
    {"AspectHoldsTallContent", "4:3", {612, 792}, {100, 300, 120, 180}, {40, 300, 240, 180}},
    // Content against the top edge: the rectangle grows past it and is moved down.
    {"AspectNearTopEdge", "16:9", {612, 792}, {0, 700, 300, 90}, {0, 623.25, 300, 168.75}},
    // Too wide for the page even as wide as it: shrunk, still 4:3.
    {"AspectShrunkToPage", "4:3", {612, 792}, {0, 0, 612, 700}, {0, 120.5, 612, 459}},
    {"SquareAroundNothing", "Square", {612, 792}, {300, 300, 0, 0}, {0, 90, 612, 612}},
};

INSTANTIATE_TEST_SUITE_P(Cases, PresetPlacement, testing::ValuesIn(kPlacements), CaseName());

struct ParseCase {
    const char* text;
    std::optional<CropPreset::Kind> kind;
    QSizeF dimensions = {};
    const char* name = "";
};

void PrintTo(const ParseCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class PresetParse : public testing::TestWithParam<ParseCase> {};

TEST_P(PresetParse, ReadsSizesAndRatios) {
    const ParseCase& c = GetParam();
    const auto preset = CropPreset::parse(QString::fromUtf8(c.text));
    ASSERT_EQ(preset.has_value(), c.kind.has_value());
    if (!preset)
        return;
    EXPECT_EQ(preset->kind(), *c.kind);
    EXPECT_NEAR(preset->dimensions().width(), c.dimensions.width(), 1e-9);
    EXPECT_NEAR(preset->dimensions().height(), c.dimensions.height(), 1e-9);
    EXPECT_EQ(preset->name(), QString::fromUtf8(c.name));
    // The name is how the preset is kept: it reads back as the same preset.
    EXPECT_EQ(CropPreset::parse(preset->name()), preset);
}

using Kind = CropPreset::Kind;
INSTANTIATE_TEST_SUITE_P(
    Texts, PresetParse,
    testing::Values(ParseCase{"210 x 297 mm", Kind::Size, kA4, "210 × 297 mm"},
                    ParseCase{"8.5 × 11in", Kind::Size, {612, 792}, "8.5 × 11 in"},
                    ParseCase{"6X9 in", Kind::Size, {432, 648}, "6 × 9 in"},
                    ParseCase{"0.5in*1in", Kind::Size, {36, 72}, "0.5 × 1 in"},
                    ParseCase{" 400 x 600 ", Kind::Size, {400, 600}, "400 × 600 pt"},
                    ParseCase{"3:2", Kind::Aspect, {3, 2}, "3:2"},
                    ParseCase{" 2.35 : 1 ", Kind::Aspect, {2.35, 1}, "2.35:1"},
                    ParseCase{"10 mm x 2 in", {}}, ParseCase{"5% x 5%", {}}, ParseCase{"0 x 5", {}},
                    ParseCase{"-3 x 4", {}}, ParseCase{"5 x", {}}, ParseCase{"3:0", {}},
                    ParseCase{"1:2:3", {}}, ParseCase{"A4", {}}, ParseCase{"", {}},
                    ParseCase{"1,5 x 2", {}}, ParseCase{"1e3 x 2", {}}, ParseCase{"mm x 2", {}}));

// The page view must still show them and scale crops for them without dividing by nothing:
// page (displayed size), where it shows in the square, a display crop and that crop in view
// space, which scales back to the same display crop.
TEST(CropGeometryTest, PagesWithoutAreaShowAsLinesOrPointsAndCropsToNothing) {
    const struct {
        QRectF page, show, crop, view;
    } cases[] = {
        // A page with no width or no height shows as a line and scales by its other side.
        {{0, 0, 0, 792}, {286.5, 0, 0, 573}, {0, 396, 0, 396}, {0, 286.5, 0, 286.5}},
        {{0, 0, 612, 0}, {0, 286.5, 573, 0}, {306, 0, 306, 0}, {286.5, 0, 286.5, 0}},
    };
    for (const auto& [page, show, crop, view] : cases) {
        SCOPED_TRACE(RectString::fromRect(page).toStdString());
        expectNear(CropGeometry::mainPDFImgViewShowRect(page), show);
        expectNear(CropGeometry::pdfImgViewCropRectWithShowRect(show, page, crop), view);
        expectNear(CropGeometry::displayRectFromViewRect(view, page, show.size()), crop);
    }
    // With neither, a point in the middle, and every scale gives the empty rectangle.
    const QRectF none;
    expectNear(CropGeometry::mainPDFImgViewShowRect(none), {286.5, 286.5, 0, 0});
    expectNear(
        CropGeometry::pdfImgViewCropRectWithShowRect({286.5, 286.5, 0, 0}, none, {0, 0, 10, 10}),
        none);
    expectNear(CropGeometry::displayRectFromViewRect({0, 0, 5, 5}, none, {0, 0}), none);
    // A side too small to divide by still shows as a line,
    const double tiny = std::numeric_limits<double>::denorm_min();
    expectNear(CropGeometry::mainPDFImgViewShowRect({0, 0, tiny, 0}), {0, 286.5, 573, 0});
    expectNear(CropGeometry::mainPDFImgViewShowRect({0, 0, 0, tiny}), {286.5, 0, 0, 573});
    // and, with no usable scale, crops to the empty rectangle.
    expectNear(CropGeometry::pdfImgViewCropRectWithShowRect({0, 286.5, 573, 0}, {0, 0, tiny, 0},
                                                            {0, 0, tiny, 0}),
               none);
}

TEST(PdfBoxTextTest, WritesTheShortestTextWithinAMillionth) {
    const std::pair<double, const char*> cases[] = {{612, "612"},           {-36, "-36"},
                                                    {300.5, "300.5"},       {-10.125, "-10.125"},
                                                    {0.000001, "0.000001"}, {611.9999999999, "612"},
                                                    {-0.0000001, "0"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(PdfBoxText::number(value), text) << value;
}

TEST(PageGeometryTest, RotationsNormaliseMultiplesOf90AndZeroTheRest) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, int> cases[] = {
        {0, 0},      {90, 90},  {180, 180}, {270, 270}, {360, 0},      {450, 90}, {-90, 270},
        {-450, 270}, {-360, 0}, {45, 0},    {90.5, 0},  {3600090, 90}, {nan, 0},  {infinity, 0}};
    for (const auto& [degrees, expected] : cases)
        EXPECT_EQ(PageGeometry::normalizedRotation(degrees), expected) << degrees;
}

} // namespace
