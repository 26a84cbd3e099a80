#include "crop/CropGeometry.h"
#include "crop/CropRecords.h"
#include "crop/PageGeometry.h"
#include "crop/QpdfDocument.h"
#include "crop/RectString.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

void expectRect(const QRectF& actual, const QRectF& expected) {
    EXPECT_DOUBLE_EQ(actual.x(), expected.x());
    EXPECT_DOUBLE_EQ(actual.y(), expected.y());
    EXPECT_DOUBLE_EQ(actual.width(), expected.width());
    EXPECT_DOUBLE_EQ(actual.height(), expected.height());
}

bool allFinite(const QRectF& r) {
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
           std::isfinite(r.height());
}

struct ShowCase {
    const char* name;
    QRectF pageRect;
    QRectF show;
};

class ShowRectTest : public testing::TestWithParam<ShowCase> {};

TEST_P(ShowRectTest, FitsThePageIntoTheSquare) {
    expectRect(CropGeometry::mainPDFImgViewShowRect(GetParam().pageRect), GetParam().show);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ShowRectTest,
    testing::Values(
        ShowCase{"portrait", {0, 0, 612, 792}, {65.11363636363635, 0, 442.7727272727273, 573}},
        ShowCase{"landscape", {0, 0, 792, 612}, {0, 65.11363636363635, 573, 442.7727272727273}},
        ShowCase{"square", {0, 0, 500, 500}, {0, 0, 573, 573}},
        ShowCase{"originIgnored", {40, -30, 500, 500}, {0, 0, 573, 573}},
        ShowCase{"zeroWidth", {0, 0, 0, 792}, {286.5, 0, 0, 573}},
        ShowCase{"zeroHeight", {0, 0, 612, 0}, {0, 286.5, 573, 0}},
        ShowCase{"zeroBoth", {0, 0, 0, 0}, {286.5, 286.5, 0, 0}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CropGeometryTest, DisplayCropScalesIntoViewSpace) {
    const QRectF page(0, 0, 612, 792);
    const QRectF show = CropGeometry::mainPDFImgViewShowRect(page);
    expectRect(CropGeometry::pdfImgViewCropRectWithShowRect(show, page, {100, 100, 400, 500}),
               {72.34848484848486, 72.34848484848486, 289.39393939393943, 361.74242424242425});
}

TEST(CropGeometryTest, ViewAndDisplaySpaceAreInverses) {
    for (const QRectF page : {QRectF(0, 0, 612, 792), QRectF(10, 20, 792, 612),
                              QRectF(0, 0, 595, 842), QRectF(0, 0, 400, 400)}) {
        const QRectF crop(31.5, 47.25, 300, 211);
        const QRectF show = CropGeometry::mainPDFImgViewShowRect(page);
        const QRectF view = CropGeometry::pdfImgViewCropRectWithShowRect(show, page, crop);
        const QRectF back = CropGeometry::displayRectFromViewRect(view, page, show.size());
        EXPECT_NEAR(back.x(), crop.x(), 1e-9);
        EXPECT_NEAR(back.y(), crop.y(), 1e-9);
        EXPECT_NEAR(back.width(), crop.width(), 1e-9);
        EXPECT_NEAR(back.height(), crop.height(), 1e-9);
    }
}

// Pages with no width or no height must give finite rectangles everywhere.
TEST(CropGeometryTest, DegeneratePagesNeverDivideByZero) {
    const QRectF crop(0, 0, 10, 10);
    for (const QRectF page : {QRectF(0, 0, 0, 792), QRectF(0, 0, 612, 0), QRectF(0, 0, 0, 0)}) {
        const QRectF show = CropGeometry::mainPDFImgViewShowRect(page);
        const QRectF view = CropGeometry::pdfImgViewCropRectWithShowRect(show, page, crop);
        const QRectF display = CropGeometry::displayRectFromViewRect(view, page, show.size());
        EXPECT_TRUE(allFinite(show) && allFinite(view) && allFinite(display));
    }
    // A page with height but no width still scales by its height.
    const QRectF tall(0, 0, 0, 792);
    expectRect(CropGeometry::pdfImgViewCropRectWithShowRect(
                   CropGeometry::mainPDFImgViewShowRect(tall), tall, {0, 396, 0, 396}),
               {0, 286.5, 0, 286.5});
    expectRect(CropGeometry::displayRectFromViewRect({0, 0, 5, 5}, {0, 0, 0, 0}, {0, 0}), {});
}

struct FitCase {
    const char* name;
    QRectF crop, from, to, expected;
};

class FitCropRectTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitCropRectTest, KeepsDistancesFromLeftAndTop) {
    const auto& c = GetParam();
    expectRect(CropGeometry::fitCropRect(c.crop, c.from, c.to), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Crops, FitCropRectTest,
                         testing::Values(FitCase{"tallerTarget",
                                                 {50, 600, 300, 150},
                                                 {0, 0, 612, 792},
                                                 {0, 0, 612, 1008},
                                                 {50, 816, 300, 150}},
                                         FitCase{"wholePageToTaller",
                                                 {0, 0, 612, 792},
                                                 {0, 0, 612, 792},
                                                 {0, 0, 612, 1008},
                                                 {0, 216, 612, 792}},
                                         FitCase{"clippedToSmaller",
                                                 {100, 100, 500, 600},
                                                 {0, 0, 612, 792},
                                                 {0, 0, 300, 400},
                                                 {100, 0, 200, 308}},
                                         FitCase{"missesSmallerPage",
                                                 {400, 0, 100, 100},
                                                 {0, 0, 612, 792},
                                                 {0, 0, 300, 400},
                                                 {0, 0, 300, 400}},
                                         FitCase{"touchesEdgeOnly",
                                                 {300, 692, 100, 100},
                                                 {0, 0, 612, 792},
                                                 {0, 0, 300, 400},
                                                 {300, 300, 0, 100}},
                                         FitCase{"originsIgnored",
                                                 {50, 600, 300, 150},
                                                 {7, 9, 612, 792},
                                                 {-3, 4, 612, 1008},
                                                 {50, 816, 300, 150}}),
                         [](const auto& p) { return std::string(p.param.name); });

struct PageSpaceCase {
    const char* name;
    qint64 rotation;
    QRectF cropBox;
    QRectF displayCrop;
    QRectF expected;
};

class PageSpaceTest : public testing::TestWithParam<PageSpaceCase> {};

RMCropInfo recordFor(qint64 rotation, const QRectF& cropBox, const QRectF& displayCrop) {
    RMCropInfo info;
    info.pageRoation = rotation;
    info.originalPageRect = cropBox;
    const bool sideways = rotation == 90 || rotation == 270;
    info.pageRect =
        sideways ? QRectF(cropBox.x(), cropBox.y(), cropBox.height(), cropBox.width()) : cropBox;
    info.cropRect = displayCrop;
    return info;
}

TEST_P(PageSpaceTest, UndoesRotationAndAddsOrigin) {
    const auto& c = GetParam();
    expectRect(CropGeometry::pageSpaceCropRect(recordFor(c.rotation, c.cropBox, c.displayCrop)),
               c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rotations, PageSpaceTest,
    testing::Values(
        PageSpaceCase{"upperHalf90", 90, {0, 0, 612, 792}, {0, 306, 792, 306}, {0, 0, 306, 792}},
        PageSpaceCase{
            "upperHalf270", 270, {0, 0, 612, 792}, {0, 306, 792, 306}, {306, 0, 306, 792}},
        PageSpaceCase{
            "rotated180", 180, {0, 0, 612, 792}, {100, 100, 200, 300}, {312, 392, 200, 300}},
        PageSpaceCase{"origin0", 0, {10, 20, 612, 792}, {100, 100, 200, 300}, {110, 120, 200, 300}},
        PageSpaceCase{"origin90", 90, {10, 20, 612, 792}, {0, 306, 792, 306}, {10, 20, 306, 792}},
        PageSpaceCase{"unknownRotationIsZero", 45, {0, 0, 612, 792}, {1, 2, 3, 4}, {1, 2, 3, 4}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(CropGeometryTest, WholeDisplayedPageIsWholeCropBoxForEveryRotation) {
    const QRectF box(13.5, -20, 595, 842);
    for (qint64 rotation : {0, 90, 180, 270}) {
        RMCropInfo info = recordFor(rotation, box, {});
        info.cropRect = QRectF(0, 0, info.pageRect.width(), info.pageRect.height());
        expectRect(CropGeometry::pageSpaceCropRect(info), box);
    }
}

TEST(CropRecordsTest, RecordsFollowEachPagesCropBoxAndRotation) {
    PageGeometry portrait;
    portrait.box(PdfBox::Crop) = QRectF(10, 20, 612, 792);
    PageGeometry turned = portrait;
    turned.rotation = 90;
    const QpdfDocument document(nullptr, {portrait, turned}, false);

    const auto records = CropRecords::build(document);
    ASSERT_EQ(records.size(), 2u);
    expectRect(records[0].pageRect, {10, 20, 612, 792});
    expectRect(records[0].cropRect, {0, 0, 612, 792});
    EXPECT_EQ(records[1].pageRoation, 90);
    expectRect(records[1].pageRect, {10, 20, 792, 612});
    expectRect(records[1].originalPageRect, {10, 20, 612, 792});
    expectRect(records[1].cropRect, {0, 0, 792, 612});
    expectRect(records[1].showRect, {});
}

TEST(CropRecordsTest, ShowInfoCarriesBothRectanglesLosslessly) {
    RMCropInfo info = recordFor(0, {0, 0, 612, 792}, {100, 100, 400, 500});
    const auto snapshot = CropRecords::showInfo(QImage(4, 4, QImage::Format_RGB32), info);
    EXPECT_EQ(snapshot.pdfImg.size(), QSize(4, 4));
    expectRect(RectString::toRect(snapshot.mainPDFViewShowRectStr),
               {65.11363636363635, 0, 442.7727272727273, 573});
    expectRect(RectString::toRect(snapshot.mainPDFViewCropRectStr),
               {72.34848484848486, 72.34848484848486, 289.39393939393943, 361.74242424242425});
}

TEST(RectStringTest, RoundTripsExactlyAndRejectsGarbage) {
    const QRectF awkward(0.1, -1e-300, 1.0 / 3.0, 123456789.123456789);
    const QRectF back = RectString::toRect(RectString::fromRect(awkward));
    EXPECT_EQ(back.x(), awkward.x());
    EXPECT_EQ(back.y(), awkward.y());
    EXPECT_EQ(back.width(), awkward.width());
    EXPECT_EQ(back.height(), awkward.height());
    EXPECT_EQ(RectString::fromRect({1, 2, 3, 4}), "{{1, 2}, {3, 4}}");
    expectRect(RectString::toRect("{{1, 2}, {3}}"), {});
    expectRect(RectString::toRect("nonsense"), {});
}

class RotationTest : public testing::TestWithParam<std::pair<double, int>> {};

TEST_P(RotationTest, NormalisesMultiplesOf90AndZeroesTheRest) {
    EXPECT_EQ(PageGeometry::normalizedRotation(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, RotationTest,
                         testing::Values(std::pair{0.0, 0}, std::pair{90.0, 90},
                                         std::pair{180.0, 180}, std::pair{270.0, 270},
                                         std::pair{360.0, 0}, std::pair{450.0, 90},
                                         std::pair{-90.0, 270}, std::pair{-450.0, 270},
                                         std::pair{-360.0, 0}, std::pair{45.0, 0},
                                         std::pair{90.5, 0}, std::pair{3600090.0, 90},
                                         std::pair{std::numeric_limits<double>::quiet_NaN(), 0},
                                         std::pair{std::numeric_limits<double>::infinity(), 0}));

} // namespace
