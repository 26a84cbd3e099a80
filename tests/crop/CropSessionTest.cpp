#include "crop/CropSession.h"
#include "crop/CropGeometry.h"
#include "crop/QpdfDocument.h"
#include "crop/QpdfLoader.h"
#include "tests/support/TestPdfBuilder.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

struct Page {
    QRectF cropBox;
    int rotation = 0;
};

CropSession session(const std::vector<Page>& pages) {
    std::vector<PageGeometry> geometry;
    for (const Page& page : pages) {
        PageGeometry g;
        g.rotation = page.rotation;
        g.boxes.fill(page.cropBox);
        geometry.push_back(g);
    }
    return CropSession(std::make_unique<QpdfDocument>(nullptr, geometry, false));
}

// The view rectangle that the page view reports for display crop on the current page.
QRectF viewRect(const CropSession& s, const QRectF& displayCrop) {
    const QRectF page = s.cropsRect()[static_cast<size_t>(s.currentIndex())].pageRect;
    return CropGeometry::pdfImgViewCropRectWithShowRect(CropGeometry::mainPDFImgViewShowRect(page),
                                                        page, displayCrop);
}

void expectNear(const QRectF& actual, const QRectF& expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
    EXPECT_NEAR(actual.width(), expected.width(), 1e-9);
    EXPECT_NEAR(actual.height(), expected.height(), 1e-9);
}

const QRectF kLetter(0, 0, 612, 792);
const QRectF kTall(0, 0, 612, 1008);

TEST(CropSessionTest, ZeroRectangleResetsTheCurrentPageToWhole) {
    auto s = session({{kLetter}});
    EXPECT_TRUE(s.cropIsFinishedWithRect(viewRect(s, {10, 10, 300, 300})));
    EXPECT_FALSE(s.cropIsFinishedWithRect(QRectF()));
    expectNear(s.cropsRect()[0].cropRect, kLetter);
    expectNear(s.cropsRect()[0].showRect, {0, 0, 442.7727272727273, 573});
}

TEST(CropSessionTest, BatchCropCarriesTheCropBySize) {
    auto s = session({{kLetter}, {kLetter}, {kTall}, {kLetter.translated(5, 5)}, {kLetter}});
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"1 - 4"});
    s.setCurrentIndex(4); // not in the selection, but always cropped itself
    const QRectF r = viewRect(s, {50, 600, 300, 150});
    EXPECT_TRUE(s.cropIsFinishedWithRect(r));
    const auto& records = s.cropsRect();
    for (size_t i : {0u, 1u, 4u}) {
        expectNear(records[i].cropRect, {50, 600, 300, 150});
        EXPECT_EQ(records[i].showRect, r);
    }
    expectNear(records[2].cropRect, {50, 816, 300, 150});
    EXPECT_EQ(records[2].showRect, QRectF());
    // Same size but another origin: carried, not copied, so its showRect stays untouched.
    expectNear(records[3].cropRect, {50, 600, 300, 150});
    EXPECT_EQ(records[3].showRect, QRectF());
}

TEST(CropSessionTest, BatchCropWithNoSelectedPagesChangesOnlyTheCurrentPage) {
    auto s = session({{kLetter}});
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"+ Even Pages"});
    EXPECT_TRUE(s.pageRangeArray().empty());
    EXPECT_TRUE(s.cropIsFinishedWithRect(viewRect(s, {0, 0, 300, 300})));
    expectNear(s.cropsRect()[0].cropRect, {0, 0, 300, 300});
}

TEST(CropSessionTest, AcceptedSelectionCarriesTheUncroppedCurrentPage) {
    auto s = session({{kLetter}, {kLetter}, {kTall}});
    s.setCurrentIndex(1);
    s.cropIsFinishedWithRect(viewRect(s, {10, 10, 100, 100}));
    s.setBatchCrop(true);
    s.setCurrentIndex(0);
    EXPECT_TRUE(s.applyPageRangeSettingWithPageArray({"2 - 3"})); // the tall page is cropped
    expectNear(s.cropsRect()[1].cropRect, kLetter);
    expectNear(s.cropsRect()[2].cropRect, {0, 216, 612, 792});
}

struct CroppedCase {
    QRectF crop;
    bool cropped;
};

class CroppedTest : public testing::TestWithParam<CroppedCase> {};

TEST_P(CroppedTest, CountsOnlyCropsKeepingUnder99Point5PerCent) {
    auto s = session({{kLetter}});
    EXPECT_EQ(s.cropIsFinishedWithRect(viewRect(s, GetParam().crop)), GetParam().cropped);
}

INSTANTIATE_TEST_SUITE_P(Crops, CroppedTest,
                         testing::Values(CroppedCase{{0, 0, 612, 789}, false},
                                         CroppedCase{{0, 0, 612, 787}, true},
                                         CroppedCase{{700, 900, 50, 50}, false},
                                         CroppedCase{{100, 100, 0, 300}, false},
                                         CroppedCase{{-50, 0, 612, 792}, true}));

struct WrittenCase {
    int rotation;
    QRectF cropBox;
    QRectF displayCrop;
    QRectF boxes;
};

class WrittenBoxesTest : public testing::TestWithParam<WrittenCase> {};

TEST_P(WrittenBoxesTest, DoneWritesAllFiveBoxesAndStartsAgainUncropped) {
    const auto& c = GetParam();
    auto s = session({{c.cropBox, c.rotation}});
    s.cropIsFinishedWithRect(viewRect(s, c.displayCrop));
    s.done();
    for (int box = 0; box < 5; ++box)
        expectNear(s.pdfDoc().boundsForBox(0, static_cast<PdfBox>(box)), c.boxes);
    const auto& record = s.cropsRect()[0];
    expectNear(record.originalPageRect, c.boxes);
    expectNear(record.cropRect, QRectF(0, 0, record.pageRect.width(), record.pageRect.height()));
    EXPECT_FALSE(s.isCroppedSomePage());
    // The pristine copy is untouched, and Revert All brings it back.
    EXPECT_EQ(s.originalPdfDoc().boundsForBox(0, PdfBox::Crop), c.cropBox);
    s.revertAll();
    EXPECT_EQ(s.pdfDoc().boundsForBox(0, PdfBox::Media), c.cropBox);
    expectNear(s.cropsRect()[0].originalPageRect, c.cropBox);
}

INSTANTIATE_TEST_SUITE_P(
    Rotations, WrittenBoxesTest,
    testing::Values(WrittenCase{90, kLetter, {0, 306, 792, 306}, {0, 0, 306, 792}},
                    WrittenCase{270, kLetter, {0, 306, 792, 306}, {306, 0, 306, 792}},
                    WrittenCase{180, kLetter, {100, 100, 200, 300}, {312, 392, 200, 300}},
                    WrittenCase{
                        0, kLetter.translated(10, 20), {100, 100, 200, 300}, {110, 120, 200, 300}},
                    // A crop with no area keeps the whole page rather than writing empty boxes.
                    WrittenCase{0, kLetter, {100, 100, 0, 300}, kLetter}));

// The whole path a user takes: open a file of mixed sizes and rotations, crop single pages
// and a batch, apply, write, and read the file back with qpdf.
TEST(CropSessionFileTest, AppliedCropsReachTheBytesAndPendingOnesDoNot) {
    QTemporaryDir dir;
    TestPdfBuilder builder;
    const int rotations[] = {0, 90, 180, 270, 0, 90};
    const QRectF sizes[] = {kLetter, kLetter, kTall, kLetter, QRectF(10, 20, 595, 842), kTall};
    for (int i = 0; i < 6; ++i) {
        TestPage page;
        page.mediaBox = sizes[i];
        page.rotate = rotations[i];
        builder.addPage(page);
    }
    auto opened = QpdfLoader().open(builder.writeTo(dir.filePath("mixed.pdf")));
    ASSERT_TRUE(opened.ok());
    CropSession s(std::move(opened.document));

    s.setCurrentIndex(4);
    s.cropIsFinishedWithRect(viewRect(s, {100, 100, 200, 300}));
    s.setBatchCrop(true);
    s.setCurrentIndex(0);
    s.applyPageRangeSettingWithPageArray({"+ Odd Pages", "2 - 2"});
    s.cropIsFinishedWithRect(viewRect(s, {50, 600, 300, 150}));
    std::vector<QRectF> expected;
    for (const auto& record : s.cropsRect())
        expected.push_back(CropGeometry::pageSpaceCropRect(record));
    s.done();
    s.cropIsFinishedWithRect(viewRect(s, {1, 1, 2, 2})); // pending only: not in the bytes

    const QByteArray bytes = s.currentDocData();
    QPDF pdf;
    pdf.processMemoryFile("saved", bytes.constData(), static_cast<size_t>(bytes.size()));
    auto pages = pdf.getAllPages();
    ASSERT_EQ(pages.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        for (const char* key : kPdfBoxKeys) {
            const auto r = pages[i].getKey(key).getArrayAsRectangle();
            expectNear(QRectF(r.llx, r.lly, r.urx - r.llx, r.ury - r.lly), expected[i]);
        }
    }
    // Page 2 is selected but displayed sideways: the crop keeps its distance from the top.
    expectNear(expected[1], {42, 50, 150, 300});
    expectNear(expected[3], {0, 0, 612, 792}); // page 4 not selected

    s.revertAll();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(s.pdfDoc().boundsForBox(i, PdfBox::Crop), sizes[i]);
}

TEST(CropSessionFileTest, RevertAllKeepsALockedFileUnlocked) {
    QTemporaryDir dir;
    TestPdfBuilder builder;
    builder.addPage({}).encrypt("secret", "owner");
    auto opened = QpdfLoader().open(builder.writeTo(dir.filePath("locked.pdf")));
    ASSERT_TRUE(opened.ok());
    CropSession s(std::move(opened.document));
    EXPECT_TRUE(s.cropsRect().empty());
    EXPECT_FALSE(s.cropIsFinishedWithRect(QRectF(1, 1, 2, 2)));
    ASSERT_TRUE(s.unlockWithPassword("secret"));
    s.rebuildRecords();
    s.revertAll();
    EXPECT_FALSE(s.pdfDoc().isLocked());
    EXPECT_EQ(s.cropsRect().size(), 1u);
}

} // namespace
