#include "crop/CropLength.h"
#include "crop/CropSession.h"
#include "crop/QpdfDocument.h"
#include "tests/support/ExpectNear.h"

#include <gtest/gtest.h>

namespace {

// A session on upright pages of these boxes. (The window's tests fit turned pages and crop
// boxes away from the origin, through to the saved file.)
CropSession session(const std::vector<QRectF>& boxes) {
    std::vector<PageGeometry> geometry(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i)
        geometry[i].boxes.fill(boxes[i]);
    return CropSession(std::make_unique<QpdfDocument>(nullptr, geometry, false));
}

const CropLength kNoPadding{0, CropLength::Unit::Points};

TEST(ContentFitTest, BatchFitsEachSelectedPageToItsOwnContent) {
    auto s = session({{0, 0, 612, 792}, {0, 0, 612, 792}, {0, 0, 612, 792}});
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"2 - 3"});
    ASSERT_EQ(s.contentFitPages(), (std::vector<qint64>{1, 2, 3}));
    // Page 3 drew nothing: it keeps its crop.
    s.fitToContent({{1, {100, 100, 50, 50}}, {2, {200, 300, 60, 70}}}, kNoPadding, false);
    s.done();
    expectNear(s.pdfDoc().boundsForBox(0, PdfBox::Crop), {100, 100, 50, 50});
    expectNear(s.pdfDoc().boundsForBox(1, PdfBox::Crop), {200, 300, 60, 70});
    expectNear(s.pdfDoc().boundsForBox(2, PdfBox::Crop), {0, 0, 612, 792});
}

TEST(ContentFitTest, ContentOutsideTheOpenedCropBoxIsNotCountedAsCut) {
    auto s = session({{0, 0, 612, 792}});
    s.fitToContent({{1, {100, 100, 200, 200}}}, kNoPadding, false);
    EXPECT_FALSE(s.cutsContent(1, {100, 100, 200, 200}));
    EXPECT_TRUE(s.cutsContent(1, {100, 100, 200, 201}));
    // A page number that is not there cuts nothing.
    EXPECT_FALSE(s.cutsContent(2, {100, 100, 200, 201}));
    s.revertAll();
    EXPECT_FALSE(s.cutsContent(1, {-50, -50, 800, 900}));
}

struct LengthCase {
    const char* text;
    std::optional<double> pointsOn200;
};

class CropLengthParse : public testing::TestWithParam<LengthCase> {};

TEST_P(CropLengthParse, ReadsNumberAndUnit) {
    const auto length = CropLength::parse(QString::fromUtf8(GetParam().text));
    ASSERT_EQ(length.has_value(), GetParam().pointsOn200.has_value());
    if (length) {
        EXPECT_NEAR(length->inPoints(200), *GetParam().pointsOn200, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, CropLengthParse,
                         testing::Values(LengthCase{"12", 12}, LengthCase{" 12 pt ", 12},
                                         LengthCase{"25.4mm", 72}, LengthCase{"0.5in", 36},
                                         LengthCase{"5%", 10}, LengthCase{"-3", -3},
                                         LengthCase{".5IN", 36}, LengthCase{"", {}},
                                         LengthCase{"mm", {}}, LengthCase{"1e3", {}},
                                         LengthCase{"12 cm", {}}, LengthCase{"1,5", {}}));

} // namespace
