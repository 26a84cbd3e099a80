#include "crop/CropGeometry.h"
#include "crop/PageGeometry.h"
#include "crop/PdfBoxText.h"
#include "crop/RectString.h"
#include "tests/support/ExpectNear.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace {

// Pages without area, which the page view must still show and scale crops for without dividing
// by nothing: page (displayed size), where it shows in the square, a display crop and that crop
// in view space, which scales back to the same display crop. (Pages with area show and crop
// through the session's and the window's tests.)
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

TEST(RectStringTest, RoundTripsExactlyAndRejectsGarbage) {
    const QRectF awkward(0.1, -1e-300, 1.0 / 3.0, 123456789.123456789);
    const QRectF back = RectString::toRect(RectString::fromRect(awkward));
    EXPECT_EQ(std::tuple(back.x(), back.y(), back.width(), back.height()),
              std::tuple(awkward.x(), awkward.y(), awkward.width(), awkward.height()));
    EXPECT_EQ(RectString::fromRect({1, 2, 3, 4}), "{{1, 2}, {3, 4}}");
    EXPECT_EQ(RectString::toRect("{{1, 2}, {3}}"), QRectF());
    EXPECT_EQ(RectString::toRect("nonsense"), QRectF());
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
