// The crop session: crops of one page and of a batch, what makes the document edited, what
// reaches the bytes, undo and redo of every kind of step, and nudges by whole points.

#include "crop/CropSession.h"
#include "crop/CropLength.h"
#include "crop/PageSelection.h"
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

#include <functional>

namespace {

CropSession session(const std::vector<QRectF>& boxes, int rotation = 0) {
    std::vector<PageGeometry> geometry(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        geometry[i].boxes.fill(boxes[i]);
        geometry[i].rotation = rotation;
        geometry[i].filePage = static_cast<int>(i);
    }
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
        {{0, 0, 442.7727272727273, 572.2765151515152}, true}, // 612 x 791 kept
        {{600, 600, 30, 30}, false},                          // off the page
        {{72, 72, 0, 217}, false},                            // no width
        {{-36, 0, 478.7727272727273, 573}, false},            // past the edges, the whole page
        {{-36, 0, 442.7727272727273, 573}, true},             // past the left edge
        {QRectF(), false},
    };
    for (const auto& [view, cropped] : cases)
        EXPECT_EQ(s.cropIsFinishedWithRect(view), cropped)
            << RectString::fromRect(view).toStdString();
    expectNear(s.cropsRect()[0].cropRect, kLetter);
    expectNear(s.cropsRect()[0].showRect, {0, 0, 442.7727272727273, 573});
    // A point off one side, typed or nudged, is a change too.
    s.setCurrentCrop({1, 0, 611, 792});
    EXPECT_TRUE(s.isCroppedSomePage());
}

// Edited: a save would give another file than the one on disk. A selection is a step, named for
// the menu as every step is, but no edit; a crop that changes nothing is no step.
TEST(CropSessionTest, OnlyCropsMakeTheDocumentEditedAndStepsAreNamedForTheMenu) {
    auto s = session(std::vector<QRectF>(45, kLetter));
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"1 - 40"});
    EXPECT_EQ(s.undoStack().count(), 1) << "a new selection is still a step";
    EXPECT_EQ(s.undoStack().undoText(), "Page Range");
    EXPECT_FALSE(s.isEdited());
    s.cropIsFinishedWithRect(kBoxView);
    s.cropIsFinishedWithRect(kBoxView); // the same crop again: nothing to undo
    EXPECT_EQ(s.undoStack().count(), 2);
    EXPECT_TRUE(s.isEdited());
    s.nudgeCrop(kWholeCrop, 1, 0);
    EXPECT_EQ(s.undoStack().undoText(), "Nudge of Pages 1–40");
    s.applyPageRangeSettingWithPageArray({"+ Odd Pages"});
    s.cropIsFinishedWithRect(kStripView);
    EXPECT_EQ(s.undoStack().undoText(), "Crop of 23 Pages");
    s.cropPages({{2, QRectF(0, 0, 9, 9)}, {3, QRectF(0, 0, 9, 9)}, {7, QRectF(0, 0, 9, 9)}});
    EXPECT_EQ(s.undoStack().undoText(), "Crop of Pages 2–3, 7");
    s.done();
    EXPECT_EQ(s.undoStack().undoText(), "Done");
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
    s.setBatchCrop(false);
    const int steps = s.undoStack().index();
    s.cropIsFinishedWithRect(kBoxView);
    s.cropIsFinishedWithRect(kBoxView);
    EXPECT_EQ(s.undoStack().index(), steps + 1);
    EXPECT_EQ(s.undoStack().undoText(), "Crop of Page 1");
}

// A file of mixed sizes and rotations: single pages and a batch cropped, applied, read back.
TEST(CropSessionFileTest, AppliedCropsReachTheBytesAndPendingOnesDoNot) {
    QTemporaryDir dir;
    TestPdfBuilder builder;
    const int rotations[] = {0, 90, 180, 270, 0, 90, 0, 0};
    // Some away from the origin, which a crop in page space keeps, whatever the rotation.
    const QRectF sizes[] = {kLetter,
                            kLetter,
                            kTall,
                            kLetter.translated(13.5, -20),
                            QRectF(10, 20, 595, 842),
                            kTall.translated(-30, 40),
                            QRectF(0, 0, 300, 400),
                            QRectF(0, 0, 40, 400)};
    for (int i = 0; i < 8; ++i)
        builder.addPage({.mediaBox = sizes[i], .rotate = rotations[i]});
    CropSession s(QpdfLoader().open(builder.writeTo(dir.filePath("mixed.pdf"))).document);

    s.setCurrentIndex(3);
    s.cropIsFinishedWithRect(kBoxView); // page 4 alone, shown turned
    s.setCurrentIndex(5);
    s.cropIsFinishedWithRect({72, 72, 0, 217}); // page 6 to no width: kept whole, not emptied
    s.setBatchCrop(true);
    s.setCurrentIndex(0); // not selected, but always cropped itself
    s.applyPageRangeSettingWithPageArray({"2 - 3", "5 - 5", "7 - 8"});
    s.cropIsFinishedWithRect(kStripView);
    s.done();
    EXPECT_FALSE(s.isCroppedSomePage());    // the records start again from the new boxes
    s.cropIsFinishedWithRect({1, 1, 2, 2}); // pending only: not in the bytes

    // The batch keeps the strip's distance from the left and the top of each displayed page, as
    // far as the page reaches; the narrow page it misses is kept whole.
    const QRectF expected[] = {
        {50, 600, 300, 150}, {42, 50, 150, 300}, {262, 42, 300, 150}, {113.5, 472, 300, 200},
        {60, 670, 300, 150}, sizes[5],           {50, 208, 250, 150}, sizes[7]};
    const QByteArray bytes = s.currentDocData();
    EXPECT_TRUE(SavedFileCheck::bytesReadCleanly(bytes, 8));
    QPDF pdf;
    pdf.processMemoryFile("saved", bytes.constData(), static_cast<size_t>(bytes.size()));
    auto pages = pdf.getAllPages();
    ASSERT_EQ(pages.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        expectNear(s.cropsRect()[i].originalPageRect, expected[i]);
        for (const char* key : kPdfBoxKeys)
            expectNear(writtenBox(pages[i], key), expected[i]);
    }

    s.revertAll();
    for (int i = 0; i < 8; ++i) {
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

// (The window's tests fit turned pages and crop boxes away from the origin, through to the
// saved file.)
TEST(ContentFitTest, ContentOutsideTheOpenedCropBoxIsNotCountedAsCut) {
    auto s = session({{0, 0, 612, 792}});
    s.fitToContent({{1, {100, 100, 200, 200}}}, {0, CropLength::Unit::Points}, false);
    EXPECT_FALSE(s.cutsContent(1, {100, 100, 200, 200}));
    EXPECT_TRUE(s.cutsContent(1, {100, 100, 200, 201}));
    // A page number that is not there cuts nothing.
    EXPECT_FALSE(s.cutsContent(2, {100, 100, 200, 201}));
    s.revertAll();
    EXPECT_FALSE(s.cutsContent(1, {-50, -50, 800, 900}));
}

// Everything an edit may change that a user can see or save, as exact numbers.
std::vector<double> stateOf(const CropSession& s) {
    std::vector<double> state;
    auto add = [&state](const QRectF& r) {
        state.insert(state.end(), {r.x(), r.y(), r.width(), r.height()});
    };
    for (const RMCropInfo& record : s.cropsRect()) {
        for (const QRectF& r : {record.cropRect, record.showRect, record.pageRect})
            add(r);
        state.push_back(record.restoredBoxes ? 1 : 0);
    }
    for (int i = 0; i < s.pdfDoc().pageCount(); ++i)
        for (int box = 0; box < kPdfBoxCount; ++box)
            add(s.pdfDoc().boundsForBox(i, static_cast<PdfBox>(box)));
    state.push_back(s.hasAppliedCrops() ? 1 : 0);
    state.push_back(static_cast<double>(s.cropPageTypeRangeArray().size()));
    return state;
}

TEST(CropSessionUndoTest, EveryStepUndoneAndRedoneGivesTheStateTheEditsGave) {
    // Four pages of three sizes and two rotations, saved cropped once so that they keep their
    // original boxes, and opened again.
    QTemporaryDir dir;
    CropSession once(QpdfLoader()
                         .open(TestPdfBuilder()
                                   .addPage({})
                                   .addPage({.rotate = 90})
                                   .addPage({.mediaBox = QRectF(0, 0, 612, 1008)})
                                   .addPage({.mediaBox = QRectF(10, 20, 595, 842), .rotate = 270})
                                   .writeTo(dir.filePath("first.pdf")))
                         .document);
    once.setBatchCrop(true);
    once.cropIsFinishedWithRect(kBoxView);
    once.done();
    const QString cropped = dir.filePath("cropped.pdf");
    ASSERT_TRUE(once.pdfDoc().writeToFile(cropped, nullptr));
    EXPECT_TRUE(SavedFileCheck::readsCleanly(cropped, 4));
    CropSession s(QpdfLoader().open(cropped).document);
    const CropLength padding{2, CropLength::Unit::Millimetres};
    // Inside each page's crop box as saved.
    const std::map<qint64, QRectF> content = {{1, QRectF(110, 120, 50, 60)},
                                              {2, QRectF(400, 110, 40, 30)},
                                              {3, QRectF(105, 330, 80, 90)}};
    const std::vector<std::function<void()>> edits = {
        [&] { s.cropIsFinishedWithRect(kStripView); },
        [&] { s.nudgeCrop(kWholeCrop, 1, 0); },
        [&] { s.nudgeCrop(CropEdge::Left, 10, 0); },
        [&] {
            s.setCurrentIndex(1);
            s.setCurrentCrop(QRectF(20.5, 30.25, 100, 120));
        },
        [&] {
            s.setBatchCrop(true);
            s.applyPageRangeSettingWithPageArray({"1 - 3"});
        },
        [&] { s.cropIsFinishedWithRect(kBoxView); },
        [&] { s.fitToContent(content, padding, false); },
        [&] { s.done(); },
        [&] { s.nudgeCrop(CropEdge::Top, 0, -10); },
        [&] { s.restoreOriginal(); },
        [&] { s.done(); },
        [&] { s.revertAll(); },
        [&] { s.applyPageRangeSettingWithPageArray({"+ Odd Pages"}); },
        [&] { s.fitToContent(content, padding, true); },
        [&] { s.setCurrentCrop(QRectF(0, 0, 90, 90)); },
        [&] { s.nudgeCrop(kWholeCrop, 0, 10); },
        [&] { s.done(); },
        [&] {
            s.setBatchCrop(false);
            s.setCurrentIndex(3);
            s.cropIsFinishedWithRect(kStripView);
        },
        [&] {
            s.cropPages({{1, QRectF(5, 5, 300, 300)}});
        },
        [&] { s.done(); },
    };
    std::vector<std::vector<double>> states = {stateOf(s)};
    for (const auto& edit : edits) {
        edit();
        states.push_back(stateOf(s));
        ASSERT_EQ(s.undoStack().count(), static_cast<int>(states.size() - 1))
            << "one step for edit " << states.size() - 1;
    }

    for (size_t k = edits.size(); k > 0; --k) {
        s.undoStack().undo();
        EXPECT_EQ(stateOf(s), states[k - 1]) << "after undoing edit " << k;
    }
    for (size_t k = 1; k <= edits.size(); ++k) {
        s.undoStack().redo();
        EXPECT_EQ(stateOf(s), states[k]) << "after redoing edit " << k;
    }
    // The documents that undo and redo swapped in and out still write whole files.
    const QString saved = dir.filePath("saved.pdf");
    QString error;
    ASSERT_TRUE(s.pdfDoc().writeToFile(saved, &error)) << error.toStdString();
    EXPECT_TRUE(SavedFileCheck::readsCleanly(saved, 4));
    const auto reopened = QpdfLoader().open(saved).document;
    for (int i = 0; i < 4; ++i) // box numbers are written to five decimals
        expectNear(reopened->boundsForBox(i, PdfBox::Crop),
                   s.pdfDoc().boundsForBox(i, PdfBox::Crop), 1e-4);
}

// A split of the selection is one step: the parts of what each page keeps become pages, other
// pages keep their crops at their new numbers, and undo, redo and Revert All give the pages and
// crops back as they were.
TEST(SplitTest, IsOneStepThatUndoGivesBackWithTheCropsFromBefore) {
    auto s = session({kLetter, kLetter, kLetter});
    s.setCurrentIndex(2);
    s.setCurrentCrop({100, 100, 200, 300});
    s.setCurrentIndex(0);
    s.setCurrentCrop({0, 0, 600, 792}); // the first page's right edge goes before the split
    s.setBatchCrop(true);
    s.setStartingPageRange({"1 - 2"});
    EXPECT_EQ(s.splitPages({.columns = 2, .rows = 1, .rightToLeft = true}),
              (std::vector<qint64>{1, 2}));
    const auto crops = [&s] {
        std::vector<QRectF> found;
        for (int i = 0; i < s.pdfDoc().pageCount(); ++i)
            found.push_back(s.pdfDoc().boundsForBox(i, PdfBox::Crop));
        return found;
    };
    const std::vector<QRectF> split{
        {300, 0, 300, 792}, {0, 0, 300, 792}, {306, 0, 306, 792}, {0, 0, 306, 792}, kLetter};
    EXPECT_EQ(crops(), split);
    EXPECT_EQ(s.cropsRect()[4].cropRect, QRectF(100, 100, 200, 300));
    EXPECT_EQ(s.pdfDoc().filePageIndex(3), 1);
    EXPECT_EQ(s.pdfDoc().pagePart(3), (PagePart{1, 1, 2}));
    EXPECT_EQ(s.undoStack().undoText(), "Split of Pages 1–2");

    s.undoStack().undo();
    EXPECT_EQ(crops(), std::vector<QRectF>(3, kLetter));
    EXPECT_EQ(s.cropsRect()[2].cropRect, QRectF(100, 100, 200, 300));
    EXPECT_EQ(s.cropsRect()[0].cropRect, QRectF(0, 0, 600, 792));
    s.undoStack().redo();
    EXPECT_EQ(crops(), split);
    s.revertAll();
    EXPECT_EQ(s.pdfDoc().pageCount(), 3);
}

// Nudges by whole points, on a page turned a quarter and a crop with awkward numbers: the whole
// crop, an edge across and an edge up or down the page, and a corner, there and back; then against
// the page's edges. The page shows 792 wide and 612 high.
TEST(NudgeTest, StepsThereAndBackGiveTheExactCropAndStopAtThePageEdges) {
    auto s = session({kLetter}, 90);
    const QRectF start{0.1, 0.7, 300.3, 400.9};
    s.setCurrentCrop(start);
    const auto crop = [&s] { return s.cropsRect()[0].cropRect; };
    const struct {
        CropEdges edges;
        double dx, dy;
    } cases[] = {{kWholeCrop, 1, 0},
                 {CropEdge::Right, -10, 0},
                 {CropEdge::Top, 0, -1},
                 {CropEdges(CropEdge::Right) | CropEdge::Top, 1, 1}};
    for (const auto& [edges, dx, dy] : cases) {
        for (int i = 0; i < 10; ++i)
            s.nudgeCrop(edges, dx, dy);
        EXPECT_NE(crop(), start);
        for (int i = 0; i < 10; ++i)
            s.nudgeCrop(edges, -dx, -dy);
        EXPECT_TRUE(RectMath::exactlyEqual(crop(), start))
            << RectString::fromRect(crop()).toStdString();
    }
    for (int i = 0; i < 10; ++i)
        s.nudgeCrop(kWholeCrop, -10, -10);
    EXPECT_EQ(crop().topLeft(), QPointF(0, 0));
    EXPECT_EQ(crop().size(), start.size());
    for (int i = 0; i < 100; ++i)
        s.nudgeCrop(kWholeCrop, 10, 10);
    EXPECT_DOUBLE_EQ(crop().x() + crop().width(), 792);
    EXPECT_DOUBLE_EQ(crop().y() + crop().height(), 612);
    const int steps = s.undoStack().count();
    s.nudgeCrop(kWholeCrop, 1, 1);
    EXPECT_EQ(s.undoStack().count(), steps) << "a nudge against the edge is no step";
    for (int i = 0; i < 100; ++i)
        s.nudgeCrop(CropEdge::Left, 10, 0);
    EXPECT_DOUBLE_EQ(crop().width(), 1);
    EXPECT_DOUBLE_EQ(crop().x() + crop().width(), 792);
}

// The pages a batch selection stands for.

using Pages = std::vector<qint64>;

std::vector<RMCropInfo> records(const std::vector<QSizeF>& displayedSizes) {
    std::vector<RMCropInfo> result(displayedSizes.size());
    for (size_t i = 0; i < result.size(); ++i)
        result[i].pageRect = QRectF(QPointF(0, 0), displayedSizes[i]);
    return result;
}

TEST(PageSelectionTest, ExpandsToAscendingPageNumbersThatExist) {
    const struct {
        QStringList selection;
        int pageCount;
        Pages expected;
    } cases[] = {
        {{}, 5, {1, 2, 3, 4, 5}},
        {{"2 - 3", "+ All Pages"}, 4, {1, 2, 3, 4}},
        {{"+ Odd Pages"}, 1, {1}},
        {{"+ Even Pages"}, 1, {}},
        {{"+ Odd Pages", "2 - 4"}, 7, {1, 2, 3, 4, 5, 7}},
        {{"+ Even Pages", "+ Odd Pages"}, 4, {1, 2, 3, 4}},
        {{"5-3"}, 7, {3, 4, 5}},
        {{"2\n-\r\n3"}, 7, {2, 3}},
        {{PageSelection::rangeEntry(4, 4)}, 7, {4}},
        {{"2 - 5", "4 - 6"}, 7, {2, 3, 4, 5, 6}},
        {{"0 - 2"}, 5, {1, 2}},
        {{"4 - 99"}, 5, {4, 5}},
        {{"7 - 9"}, 5, {}},
        {{"1 - 99999999999"}, 3, {1, 2, 3}},
        {{"-3 - 2"}, 5, {1, 2, 3}},
        {{"abc - 2"}, 5, {1, 2}},
        {{"+ Odd Pages", "1 - 3"}, 0, {}},
        {{"+ Blue Pages", "hello"}, 3, {}},
    };
    for (const auto& [selection, pageCount, expected] : cases) {
        const std::vector<QSizeF> letters(static_cast<size_t>(pageCount), QSizeF(612, 792));
        EXPECT_EQ(PageSelection::expand(selection, records(letters)), expected)
            << selection.join(", ").toStdString() << " of " << pageCount;
    }
}

TEST(PageSelectionTest, ShapesFollowTheDisplayedSize) {
    // A rotated letter page is displayed 792 wide: landscape. A square counts as portrait.
    const auto pages = records({{612, 792}, {792, 612}, {500, 500}, {300, 200}});
    EXPECT_EQ(PageSelection::expand({"+ Portrait Pages"}, pages), (Pages{1, 3}));
    EXPECT_EQ(PageSelection::expand({"+ Landscape Pages"}, pages), (Pages{2, 4}));
    EXPECT_EQ(PageSelection::expand({"+ Landscape Pages", "+ Portrait Pages"}, pages),
              (Pages{1, 2, 3, 4}));
}

} // namespace
