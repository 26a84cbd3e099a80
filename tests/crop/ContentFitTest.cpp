#include "crop/CropLength.h"
#include "crop/CropSession.h"
#include "crop/QpdfDocument.h"
#include "tests/support/ExpectNear.h"

#include <gtest/gtest.h>

namespace {

// A session on pages of these boxes, all with one rotation.
CropSession session(const std::vector<QRectF>& boxes, int rotation = 0) {
    std::vector<PageGeometry> geometry(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        geometry[i].boxes.fill(boxes[i]);
        geometry[i].rotation = rotation;
    }
    return CropSession(std::make_unique<QpdfDocument>(nullptr, geometry, false));
}

const CropLength kNoPadding{0, CropLength::Unit::Points};

struct Placement {
    int rotation;
    QRectF box;
};

class FitEveryPlacement : public testing::TestWithParam<Placement> {};

// Content in page space comes back as exactly that crop box after "Done", whatever the
// page's rotation and wherever its crop box starts, and is never counted as cut.
TEST_P(FitEveryPlacement, CropBoxIsTheContent) {
    const auto [rotation, box] = GetParam();
    auto s = session({box}, rotation);
    const QRectF content(box.x() + 40, box.y() + 25, 300, 500);
    EXPECT_TRUE(s.fitToContent({{1, content}}, kNoPadding, false));
    EXPECT_FALSE(s.cutsContent(1, content));
    s.done();
    expectNear(s.pdfDoc().boundsForBox(0, PdfBox::Crop), content);
    EXPECT_FALSE(s.cutsContent(1, content));
}

// Padding grows the crop on every side by the same length in points, kept within the page.
TEST_P(FitEveryPlacement, PaddingGrowsTheCropWithinThePage) {
    const auto [rotation, box] = GetParam();
    auto s = session({box}, rotation);
    const QRectF content(box.x() + 5, box.y() + 100, 300, 200);
    s.fitToContent({{1, content}}, {10, CropLength::Unit::Millimetres}, false);
    s.done();
    const double mm10 = 72 / 2.54;
    const QRectF grown = content.adjusted(-mm10, -mm10, mm10, mm10).intersected(box);
    expectNear(s.pdfDoc().boundsForBox(0, PdfBox::Crop), grown);
}

INSTANTIATE_TEST_SUITE_P(RotationsAndOrigins, FitEveryPlacement,
                         testing::Values(Placement{0, {0, 0, 612, 792}},
                                         Placement{90, {0, 0, 612, 792}},
                                         Placement{180, {30, 40, 612, 792}},
                                         Placement{270, {-100, 250, 595, 842}},
                                         Placement{90, {18, -36, 842, 595}}));

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

TEST(ContentFitTest, SameSizeHoldsEveryPagesContentAndCarriesItToOtherSizes) {
    auto s = session({{0, 0, 612, 792}, {0, 0, 612, 792}, {0, 0, 612, 1008}});
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"+ All Pages"});
    s.fitToContent({{1, {100, 100, 50, 50}}, {2, {300, 400, 60, 2}}, {3, {0, 0, 10, 10}}},
                   {1, CropLength::Unit::Percent}, true);
    s.done();
    // The two letter pages hold both their contents, padded by 1% of each side.
    const QRectF both = QRectF(100, 100, 260, 302).adjusted(-6.12, -7.92, 6.12, 7.92);
    expectNear(s.pdfDoc().boundsForBox(0, PdfBox::Crop), both);
    expectNear(s.pdfDoc().boundsForBox(1, PdfBox::Crop), both);
    // The taller page is carried the same distance from its top, as a batch crop is; so its
    // own content is cut, and said to be.
    expectNear(s.pdfDoc().boundsForBox(2, PdfBox::Crop), both.translated(0, 216));
    EXPECT_TRUE(s.cutsContent(3, {0, 0, 10, 10}));
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
