#include "crop/CropSession.h"
#include "crop/CropLength.h"
#include "crop/QpdfDocument.h"
#include "crop/QpdfLoader.h"
#include "crop/RectMath.h"
#include "crop/RectString.h"
#include "tests/support/ExpectNear.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

// A session on upright pages with these boxes.
CropSession session(const std::vector<QRectF>& boxes) {
    std::vector<PageGeometry> geometry(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i)
        geometry[i].boxes.fill(boxes[i]);
    return CropSession(std::make_unique<QpdfDocument>(nullptr, geometry, false));
}

const QRectF kLetter(0, 0, 612, 792);
const QRectF kTall(0, 0, 612, 1008);

// The page view shows a letter page, upright or turned, 573 points along its 792-point side.
// These are crops as it reports them there, with the display crops they stand for.
const QRectF kStripView(36.17424242424242, 434.0909090909091, 217.04545454545456,
                        108.52272727272728); // (50, 600, 300, 150)
const QRectF kBoxView(72.34848484848484, 72.34848484848484, 144.6969696969697,
                      217.04545454545456); // (100, 100, 200, 300)

// A batch crop keeps its distance from the left and the top of each page of another size, as
// far as the page reaches; a page it misses is kept whole.
TEST(CropSessionTest, BatchCropCarriesTheCropBySize) {
    auto s = session({kLetter, kLetter, kTall, kLetter.translated(5, 5), kLetter,
                      QRectF(0, 0, 300, 400), QRectF(0, 0, 40, 400)});
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"1 - 4", "6 - 7"});
    s.setCurrentIndex(4); // not in the selection, but always cropped itself
    EXPECT_TRUE(s.cropIsFinishedWithRect(kStripView));
    const auto& records = s.cropsRect();
    for (size_t i : {0u, 1u, 4u}) {
        expectNear(records[i].cropRect, {50, 600, 300, 150});
        EXPECT_EQ(records[i].showRect, kStripView);
    }
    expectNear(records[2].cropRect, {50, 816, 300, 150});
    // Same size but another origin: carried, not copied, so its showRect stays untouched.
    expectNear(records[3].cropRect, {50, 600, 300, 150});
    for (size_t i : {2u, 3u})
        EXPECT_EQ(records[i].showRect, QRectF());
    expectNear(records[5].cropRect, {50, 208, 250, 150});
    expectNear(records[6].cropRect, {0, 0, 40, 400});
}

// Numbers typed or nudged in points reach the other pages of a batch exactly, not as the
// view's rectangle for them rounds them.
TEST(CropSessionTest, ASelectionCarriesATypedCropExactly) {
    auto s = session({kLetter, kLetter, kLetter});
    const QRectF typed(56.69291338582677, 20.5, 300.123456789, 400.987654321);
    s.setCurrentCrop(typed);
    s.cropIsFinishedWithRect(s.cropsRect()[0].showRect); // a click that moves nothing
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"2 - 3"});
    for (const RMCropInfo& record : s.cropsRect())
        EXPECT_TRUE(RectMath::exactlyEqual(record.cropRect, typed));
}

// Each crop replaces the last; the zero rectangle means the whole page. However little a crop
// keeps out, it is a change the user means to save; a crop that leaves the boxes as they are
// is none.
TEST(CropSessionTest, ACropThatKeepsLessThanThePageIsAChange) {
    auto s = session({kLetter});
    const struct {
        QRectF view;
        bool cropped;
    } cases[] = {
        {{0, 0, 442.7727272727273, 570.8295454545455}, true}, // 612 x 789 kept
        {{0, 0, 442.7727272727273, 572.2765151515152}, true}, // 612 x 791 kept
        {{600, 600, 30, 30}, false},                          // off the page
        {{72, 72, 0, 217}, false},                            // no width
        {{-36, 0, 478.7727272727273, 573}, false},            // past the edges, the whole page
        {{-36, 0, 442.7727272727273, 573}, true},             // past the left edge
        {QRectF(), false},
    };
    for (const auto& [view, cropped] : cases) {
        EXPECT_EQ(s.cropIsFinishedWithRect(view), cropped)
            << RectString::fromRect(view).toStdString();
    }
    expectNear(s.cropsRect()[0].cropRect, kLetter);
    expectNear(s.cropsRect()[0].showRect, {0, 0, 442.7727272727273, 573});
    // A point off one side, typed or nudged, is a change too.
    s.setCurrentCrop({1, 0, 611, 792});
    EXPECT_TRUE(s.isCroppedSomePage());
}

// The edited mark: whether a save would give another file than the one on disk.
TEST(CropSessionTest, OnlyCropsMakeTheDocumentEditedNotSelections) {
    auto s = session({kLetter, kLetter, kLetter});
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"+ Odd Pages"});
    EXPECT_EQ(s.undoStack().count(), 1) << "a new selection is still a step";
    EXPECT_FALSE(s.isEdited());
    s.setCurrentCrop({0, 0, 600, 792});
    EXPECT_TRUE(s.isEdited());
    s.done();
    EXPECT_TRUE(s.isEdited()) << "applied, not saved";
    s.markSaved();
    EXPECT_FALSE(s.isEdited());
    s.undoStack().undo(); // "Done" undone: the file on disk has the crop, the window does not
    EXPECT_TRUE(s.isEdited());
    s.undoStack().redo();
    EXPECT_FALSE(s.isEdited());
    s.revertAll();
    EXPECT_TRUE(s.isEdited()) << "the file as opened is not the file as saved";
    s.undoStack().undo();
    EXPECT_FALSE(s.isEdited());
}

// The whole path a user takes: open a file of mixed sizes and rotations, crop single pages and
// a batch, apply ("Done"), read the bytes back with qpdf, and revert.
TEST(CropSessionFileTest, AppliedCropsReachTheBytesAndPendingOnesDoNot) {
    QTemporaryDir dir;
    TestPdfBuilder builder;
    const int rotations[] = {0, 90, 180, 270, 0, 90};
    // Some away from the origin, which a crop in page space keeps, whatever the rotation.
    const QRectF sizes[] = {kLetter,
                            kLetter,
                            kTall,
                            kLetter.translated(13.5, -20),
                            QRectF(10, 20, 595, 842),
                            kTall.translated(-30, 40)};
    for (int i = 0; i < 6; ++i)
        builder.addPage({.mediaBox = sizes[i], .rotate = rotations[i]});
    CropSession s(QpdfLoader().open(builder.writeTo(dir.filePath("mixed.pdf"))).document);

    s.setCurrentIndex(3);
    s.cropIsFinishedWithRect(kBoxView); // page 4 alone, shown turned
    s.setCurrentIndex(5);
    s.cropIsFinishedWithRect({72, 72, 0, 217}); // page 6 to no width: kept whole, not emptied
    s.setBatchCrop(true);
    s.setCurrentIndex(0);
    s.applyPageRangeSettingWithPageArray({"+ Odd Pages", "2 - 2"}); // pages 1, 2, 3 and 5
    s.cropIsFinishedWithRect(kStripView);
    s.done();
    EXPECT_FALSE(s.isCroppedSomePage());    // the records start again from the new boxes
    s.cropIsFinishedWithRect({1, 1, 2, 2}); // pending only: not in the bytes

    // The batch keeps the strip's distance from the top of each displayed page.
    const QRectF expected[] = {{50, 600, 300, 150},    {42, 50, 150, 300},  {262, 42, 300, 150},
                               {113.5, 472, 300, 200}, {60, 670, 300, 150}, sizes[5]};
    const QByteArray bytes = s.currentDocData();
    EXPECT_TRUE(SavedFileCheck::bytesReadCleanly(bytes, 6));
    QPDF pdf;
    pdf.processMemoryFile("saved", bytes.constData(), static_cast<size_t>(bytes.size()));
    auto pages = pdf.getAllPages();
    ASSERT_EQ(pages.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        expectNear(s.cropsRect()[i].originalPageRect, expected[i]);
        for (const char* key : kPdfBoxKeys)
            expectNear(writtenBox(pages[i], key), expected[i]);
    }

    s.revertAll();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(s.pdfDoc().boundsForBox(i, PdfBox::Crop), sizes[i]);
        EXPECT_EQ(s.cropsRect()[size_t(i)].originalPageRect, sizes[i]);
    }
}

TEST(CropSessionFileTest, RevertAllKeepsALockedFileUnlocked) {
    QTemporaryDir dir;
    const TestPdfBuilder locked = TestPdfBuilder().addPage({}).encrypt("secret", "owner");
    CropSession s(QpdfLoader().open(locked.writeTo(dir.filePath("locked.pdf"))).document);
    EXPECT_TRUE(s.cropsRect().empty());
    EXPECT_FALSE(s.cropIsFinishedWithRect(QRectF(1, 1, 2, 2)));
    ASSERT_TRUE(s.unlockWithPassword("secret"));
    s.rebuildRecords();
    s.revertAll();
    EXPECT_FALSE(s.pdfDoc().isLocked());
    EXPECT_EQ(s.cropsRect().size(), 1u);
}

// Fit to content. (The window's tests fit turned pages and crop boxes away from the origin,
// through to the saved file.)

const CropLength kNoPadding{0, CropLength::Unit::Points};

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

} // namespace
