// Undo and redo of a session's edits, and nudging a crop by whole points.

#include "crop/CropSession.h"
#include "crop/QpdfDocument.h"
#include "crop/QpdfLoader.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <functional>

namespace {

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
    for (int i = 0; i < s.pdfDoc().pageCount(); ++i) {
        for (int box = 0; box < kPdfBoxCount; ++box)
            add(s.pdfDoc().boundsForBox(i, static_cast<PdfBox>(box)));
    }
    state.push_back(s.hasAppliedCrops() ? 1 : 0);
    state.push_back(static_cast<double>(s.cropPageTypeRangeArray().size()));
    return state;
}

// A view-space rectangle of the 573-point page view (see CropSessionTest).
const QRectF kBoxView(72.34848484848484, 72.34848484848484, 144.6969696969697, 217.04545454545456);
const QRectF kStripView(36.17424242424242, 434.0909090909091, 217.04545454545456,
                        108.52272727272728);

// Four pages of three sizes and two rotations, saved cropped once so that they keep their
// original boxes, and opened again.
std::unique_ptr<CropSession> openOnceCropped(const QTemporaryDir& dir) {
    const QString first = TestPdfBuilder()
                              .addPage({})
                              .addPage({.rotate = 90})
                              .addPage({.mediaBox = QRectF(0, 0, 612, 1008)})
                              .addPage({.mediaBox = QRectF(10, 20, 595, 842), .rotate = 270})
                              .writeTo(dir.filePath("first.pdf"));
    CropSession once(QpdfLoader().open(first).document);
    once.setBatchCrop(true);
    once.cropIsFinishedWithRect(kBoxView);
    once.done();
    QString error;
    const QString cropped = dir.filePath("cropped.pdf");
    EXPECT_TRUE(once.pdfDoc().writeToFile(cropped, &error)) << error.toStdString();
    return std::make_unique<CropSession>(QpdfLoader().open(cropped).document);
}

TEST(CropSessionUndoTest, EveryStepUndoneAndRedoneGivesTheStateTheEditsGave) {
    QTemporaryDir dir;
    auto session = openOnceCropped(dir);
    CropSession& s = *session;
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
    for (int i = 0; i < 4; ++i) {
        // Box numbers are written to five decimals.
        const QRectF read = reopened->boundsForBox(i, PdfBox::Crop);
        const QRectF held = s.pdfDoc().boundsForBox(i, PdfBox::Crop);
        EXPECT_NEAR(read.x(), held.x(), 1e-4);
        EXPECT_NEAR(read.y(), held.y(), 1e-4);
        EXPECT_NEAR(read.width(), held.width(), 1e-4);
        EXPECT_NEAR(read.height(), held.height(), 1e-4);
    }
}

TEST(CropSessionUndoTest, StepsAreNamedForTheMenuAndEmptyEditsAreNone) {
    std::vector<PageGeometry> pages(45);
    for (PageGeometry& page : pages)
        page.boxes.fill(QRectF(0, 0, 612, 792));
    CropSession s(std::make_unique<QpdfDocument>(nullptr, pages, false));
    s.cropIsFinishedWithRect(kBoxView);
    s.cropIsFinishedWithRect(kBoxView); // the same crop again: nothing to undo
    EXPECT_EQ(s.undoStack().count(), 1);
    EXPECT_EQ(s.undoStack().undoText(), "Crop of Page 1");
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"1 - 40"});
    EXPECT_EQ(s.undoStack().undoText(), "Page Range");
    s.nudgeCrop(kWholeCrop, 1, 0);
    EXPECT_EQ(s.undoStack().undoText(), "Nudge of Pages 1–40");
    s.applyPageRangeSettingWithPageArray({"+ Odd Pages"});
    s.cropIsFinishedWithRect(kStripView);
    EXPECT_EQ(s.undoStack().undoText(), "Crop of 23 Pages");
    s.cropPages({{2, QRectF(0, 0, 9, 9)}, {3, QRectF(0, 0, 9, 9)}, {7, QRectF(0, 0, 9, 9)}});
    EXPECT_EQ(s.undoStack().undoText(), "Crop of Pages 2–3, 7");
    s.done();
    EXPECT_EQ(s.undoStack().undoText(), "Done");
}

// Nudges by whole points, on a page turned a quarter and a crop with awkward numbers.
class NudgeTest : public testing::Test {
protected:
    NudgeTest() {
        std::vector<PageGeometry> pages(1);
        pages[0].boxes.fill(QRectF(0, 0, 612, 792));
        pages[0].rotation = 90;
        session_ =
            std::make_unique<CropSession>(std::make_unique<QpdfDocument>(nullptr, pages, false));
        session_->setCurrentCrop(kStart);
    }
    QRectF crop() const { return session_->cropsRect()[0].cropRect; }

    const QRectF kStart{0.1, 0.7, 300.3, 400.9};
    std::unique_ptr<CropSession> session_;
};

TEST_F(NudgeTest, StepsThereAndBackGiveTheExactCrop) {
    const struct {
        CropEdges edges;
        double dx, dy;
    } cases[] = {{kWholeCrop, 1, 0},
                 {kWholeCrop, 0, 10},
                 {CropEdge::Left, 1, 0},
                 {CropEdge::Right, -10, 0},
                 {CropEdge::Top, 0, -1},
                 {CropEdge::Bottom, 0, 10},
                 {CropEdges(CropEdge::Right) | CropEdge::Top, 1, 1}};
    for (const auto& [edges, dx, dy] : cases) {
        for (int i = 0; i < 10; ++i)
            session_->nudgeCrop(edges, dx, dy);
        EXPECT_NE(crop(), kStart);
        for (int i = 0; i < 10; ++i)
            session_->nudgeCrop(edges, -dx, -dy);
        EXPECT_EQ(crop().x(), kStart.x());
        EXPECT_EQ(crop().y(), kStart.y());
        EXPECT_EQ(crop().width(), kStart.width());
        EXPECT_EQ(crop().height(), kStart.height());
    }
}

TEST_F(NudgeTest, NudgesStopAtThePageEdgeAndShortOfTheOppositeEdge) {
    // The page shows 792 wide and 612 high.
    for (int i = 0; i < 10; ++i)
        session_->nudgeCrop(kWholeCrop, -10, -10);
    EXPECT_EQ(crop().topLeft(), QPointF(0, 0));
    EXPECT_EQ(crop().size(), kStart.size());
    for (int i = 0; i < 100; ++i)
        session_->nudgeCrop(kWholeCrop, 10, 10);
    EXPECT_DOUBLE_EQ(crop().x() + crop().width(), 792);
    EXPECT_DOUBLE_EQ(crop().y() + crop().height(), 612);
    const int steps = session_->undoStack().count();
    session_->nudgeCrop(kWholeCrop, 1, 1);
    EXPECT_EQ(session_->undoStack().count(), steps) << "a nudge against the edge is no step";
    for (int i = 0; i < 100; ++i)
        session_->nudgeCrop(CropEdge::Left, 10, 0);
    EXPECT_DOUBLE_EQ(crop().width(), 1);
    EXPECT_DOUBLE_EQ(crop().x() + crop().width(), 792);
}

} // namespace
