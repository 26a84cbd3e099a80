// Precise editing in the window: crop numbers typed beside the page, nudges from the keyboard,
// paper sizes, and undo and redo of it all, as a user does them.

#include "crop/RectMath.h"
#include "editor/ContentFitControls.h"
#include "editor/ContentFitter.h"
#include "editor/CropInspector.h"
#include "range/RMPageRangeEditor.h"
#include "range/RMPageRangeWindowController.h"
#include "tests/editor/MainWindowFixture.h"
#include "tests/support/ExpectNear.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QUndoStack>

#include <ostream>
#include <string>

namespace {

const double kMm = 72.0 / 25.4;
const QRectF kA4(0, 0, 210 * kMm, 297 * kMm);
const QRectF kLetterPage(0, 0, 612, 792);

class PreciseEditingWindowTest : public MainWindowTest {
protected:
    QDoubleSpinBox* field(int i) {
        return window->findChild<QDoubleSpinBox*>(QString("inspectorField%1").arg(i));
    }
    void type(int i, double value) {
        QDoubleSpinBox* box = field(i);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::number(value));
        QTest::keyClick(box, Qt::Key_Return);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = {}, int times = 1) {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    QComboBox* sizes() { return window->findChild<QComboBox*>("presetPicker"); }
    void choose(const QString& size) {
        const int index = sizes()->findText(size);
        ASSERT_GE(index, 0) << size.toStdString();
        sizes()->setCurrentIndex(index);
        emit sizes()->activated(index);
    }
    void showNumbers(CropInspector::Mode mode, CropLength::Unit unit) {
        ui().cropInspector->setMode(mode);
        ui().cropInspector->setUnit(unit);
    }
};

class TypedMarginsTest : public PreciseEditingWindowTest,
                         public testing::WithParamInterface<int> {};

// Margins of 10, 20, 30 and 40 mm as the page is shown, turned or not.
TEST_P(TypedMarginsTest, GiveThePageBoxesOfThoseMarginsAsShown) {
    open({{.mediaBox = kA4, .rotate = GetParam()}});
    showNumbers(CropInspector::Mode::Margins, CropLength::Unit::Millimetres);
    const double left = 10 * kMm, top = 20 * kMm, right = 30 * kMm, bottom = 40 * kMm;
    for (auto [i, value] : {std::pair{0, 10.0}, {1, 20.0}, {2, 30.0}, {3, 40.0}})
        type(i, value);
    // Undo and Redo are the window's, also in the field just typed in.
    QTest::keySequence(field(3), QKeySequence::Undo);
    EXPECT_DOUBLE_EQ(crop().y(), 0);
    QTest::keySequence(field(3), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    pressDone();

    // The shown page's margins, on the page's own sides: a quarter turn shows its bottom on
    // the left, its left side at the top.
    const std::map<int, std::array<double, 4>> pageSides = {// left, bottom, right, top
                                                            {0, {left, bottom, right, top}},
                                                            {90, {top, left, bottom, right}},
                                                            {180, {right, top, left, bottom}},
                                                            {270, {bottom, right, top, left}}};
    const auto [l, b, r, t] = pageSides.at(GetParam());
    const QRectF box = cropBox(0);
    const QRectF page = window->session().originalPdfDoc().boundsForBox(0, PdfBox::Media);
    EXPECT_NEAR(box.left(), l, 1e-9);
    EXPECT_NEAR(box.top(), b, 1e-9);
    EXPECT_NEAR(box.right(), page.width() - r, 1e-9);
    EXPECT_NEAR(box.bottom(), page.height() - t, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Rotations, TypedMarginsTest, testing::Values(0, 90, 180, 270));

// A typed position is kept and the size gives way at the page's edge; a drag shows the
// numbers the page is then saved with.
TEST_F(PreciseEditingWindowTest, TypedPositionsStayAndDraggedNumbersAreTheSavedOnes) {
    open(1);
    showNumbers(CropInspector::Mode::PositionAndSize, CropLength::Unit::Points);
    type(0, 36);
    EXPECT_EQ(crop(), QRectF(36, 0, 576, 792));
    EXPECT_EQ(field(0)->value(), 36);
    EXPECT_EQ(field(2)->value(), 576);
    type(3, 700);
    type(1, 200);
    EXPECT_EQ(crop(), QRectF(36, 200, 576, 592));

    dragOnPage(viewAt(1, 1), viewAt(0.79, 0.87));
    const double shown[] = {field(0)->value(), field(1)->value(), field(2)->value(),
                            field(3)->value()};
    const QString saved = dir.filePath("saved.pdf");
    ASSERT_EQ(saveTo(saved), "");
    const QRectF box = QpdfLoader().open(saved).document->boundsForBox(0, PdfBox::Crop);
    const double expected[] = {box.x(), box.y(), box.width(), box.height()};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(shown[i], expected[i], 0.005) << i;
}

TEST_F(PreciseEditingWindowTest, ArrowsNudgeTheFocusedMarkerAndTurnPagesOtherwise) {
    open(3);
    window->session().setCurrentCrop(QRectF(100.3, 200.7, 300.1, 400.9));
    const QRectF start = crop();
    QTest::mouseClick(ui().pdfImgView, Qt::LeftButton, {}, ui().pdfImgView->rect().center());
    ASSERT_TRUE(ui().pdfImgView->hasFocus());

    key(Qt::Key_Right, {}, 10);
    EXPECT_EQ(current(), 0) << "the arrows are the marker's while it has the focus";
    EXPECT_DOUBLE_EQ(crop().x(), start.x() + 10);
    key(Qt::Key_Left, {}, 10);
    EXPECT_EQ(crop(), start);
    EXPECT_TRUE(RectMath::exactlyEqual(crop(), start));
    key(Qt::Key_Down, Qt::ShiftModifier, 30);
    EXPECT_EQ(crop().y(), 0) << "stopped at the page's edge";

    key(Qt::Key_Tab); // handle 1: the left and bottom edges
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(crop().x(), start.x() + 10);
    EXPECT_DOUBLE_EQ(crop().right(), start.right());
    key(Qt::Key_Up, Qt::AltModifier); // the bottom edge, the last used up the page
    EXPECT_EQ(crop().y(), 1);

    EXPECT_EQ(editAction("Undo")->text(), "Undo Nudge of Page 1");
    QTest::keySequence(window.get(), QKeySequence::Undo);
    EXPECT_EQ(crop().y(), 0);

    key(Qt::Key_Escape);
    key(Qt::Key_Right);
    EXPECT_EQ(current(), 1) << "without the focus on the page, the arrows turn pages";
}

TEST_F(PreciseEditingWindowTest, APaperSizeGivesThatCropCentredOnThePage) {
    open({{.mediaBox = kA4}});
    choose("A5");
    pressDone();
    const QRectF box = cropBox(0);
    const QRectF page = window->session().originalPdfDoc().boundsForBox(0, PdfBox::Media);
    EXPECT_NEAR(box.width(), 419.53, 0.005);
    EXPECT_NEAR(box.height(), 595.28, 0.005);
    EXPECT_NEAR(box.center().x(), page.center().x(), 1e-9);
    EXPECT_NEAR(box.center().y(), page.center().y(), 1e-9);
}

// Undo and redo go back through drags, "Done" and "Revert All", to the page of each step; the
// edited mark shows exactly while the document is not as it was opened or saved.
TEST_F(PreciseEditingWindowTest, UndoAndRedoWalkTheStepsAndTheEditedMarkFollows) {
    open(3);
    pressDone();
    EXPECT_FALSE(window->isWindowModified()) << "no \"Done\" while it is disabled";
    window->lastJumpClickHandler();
    const QRectF whole = crop();
    dragOnPage({1, 1}, {60, 80});
    const QRectF dragged = crop();
    EXPECT_TRUE(window->isWindowModified());
    window->firstJumpClickHandler();
    EXPECT_EQ(editAction("Undo")->text(), "Undo Crop of Page 3");
    QTest::keySequence(window.get(), QKeySequence::Undo);
    EXPECT_EQ(current(), 2) << "undo shows the page of the step";
    EXPECT_EQ(crop(), whole);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(ui().saveBtn->isEnabled());
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(crop(), dragged);
    EXPECT_TRUE(ui().saveBtn->isEnabled());

    // "Done" applies the crop and stays on its page; "Revert All" gives the file back.
    pressDone();
    EXPECT_EQ(ui().pageTextField->text(), "3");
    EXPECT_EQ(selectedThumbnail(), 2);
    EXPECT_FALSE(ui().saveBtn->isEnabled());
    const QRectF applied = cropBox(2);
    EXPECT_LT(applied.width(), 612);
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(cropBox(2), QRectF(0, 0, 612, 1008));
    EXPECT_FALSE(ui().cancelBtn->isEnabled());
    EXPECT_FALSE(window->isWindowModified()) << "reverted to the file as opened";
    EXPECT_EQ(current(), 2);
    EXPECT_EQ(editAction("Undo")->text(), "Undo Revert All");
    QTest::keySequence(window.get(), QKeySequence::Undo);
    EXPECT_EQ(cropBox(2), applied);
    EXPECT_TRUE(ui().cancelBtn->isEnabled());
    EXPECT_TRUE(window->isWindowModified());
    QTest::keySequence(window.get(), QKeySequence::Undo);
    EXPECT_EQ(crop(), dragged) << "undoing Done gives the pending crop back";
    EXPECT_FALSE(ui().cancelBtn->isEnabled());

    // A selection undone is the one the page range sheet shows next.
    window->batchCropClickHandler();
    window->pageRangeClickHandler();
    window->pageRangeCtrl()->editor().setRangeTypeArray({"+ Odd Pages"});
    window->pageRangeCtrl()->okClickHandler();
    EXPECT_EQ(editAction("Undo")->text(), "Undo Page Range");
    QTest::keySequence(window.get(), QKeySequence::Undo);
    window->pageRangeClickHandler();
    EXPECT_EQ(window->pageRangeCtrl()->editor().rangeTypeArray(), QStringList{"1 - 3"});
    window->cancelPageRangeSetting();
}

// However little a crop keeps out, "Done" applies it and a save writes it, with or without
// "Done": two typed points, one nudge, a fit that keeps 99.9 per cent of the page.
enum class SmallCrop { TypedMargin, Nudge, Fit };

const char* const kSmallCropNames[] = {"TypedMargin", "Nudge", "Fit"};

void PrintTo(SmallCrop how, std::ostream* out) {
    *out << kSmallCropNames[int(how)];
}

class SmallCropTest : public PreciseEditingWindowTest,
                      public testing::WithParamInterface<std::tuple<SmallCrop, bool>> {};

TEST_P(SmallCropTest, IsWrittenByDoneAndByASave) {
    const auto [how, done] = GetParam();
    open({blockPage(kLetterPage, {100, 0, 412, 792})});
    QRectF expected;
    switch (how) {
    case SmallCrop::TypedMargin:
        showNumbers(CropInspector::Mode::Margins, CropLength::Unit::Points);
        type(0, 2);
        expected = {2, 0, 610, 792};
        break;
    case SmallCrop::Nudge:
        QTest::mouseClick(ui().pdfImgView, Qt::LeftButton, {}, ui().pdfImgView->rect().center());
        key(Qt::Key_Tab); // the lower-left handle
        key(Qt::Key_Right);
        expected = {1, 0, 611, 792};
        break;
    case SmallCrop::Fit: {
        // The content with that padding, within the page: all but 0.3 points either side.
        window->fitControls()->setPadding({99.7, CropLength::Unit::Points});
        QSignalSpy fitted(&window->contentFitter(), &ContentFitter::fitted);
        QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
        ASSERT_TRUE(fitted.count() > 0 || fitted.wait(30000));
        expected = {0.3, 0, 611.4, 792};
        break;
    }
    }
    EXPECT_TRUE(ui().saveBtn->isEnabled());
    EXPECT_TRUE(window->isWindowModified());
    if (done)
        pressDone();
    const QString saved = dir.filePath("saved.pdf");
    ASSERT_EQ(saveTo(saved), "");
    EXPECT_FALSE(window->isWindowModified());
    expectNear(QpdfLoader().open(saved).document->boundsForBox(0, PdfBox::Crop), expected);
}

INSTANTIATE_TEST_SUITE_P(TypedNudgedFitted, SmallCropTest,
                         testing::Combine(testing::Values(SmallCrop::TypedMargin, SmallCrop::Nudge,
                                                          SmallCrop::Fit),
                                          testing::Bool()),
                         [](const auto& test) {
                             return kSmallCropNames[int(std::get<0>(test.param))] +
                                    std::string(std::get<1>(test.param) ? "AndDone" : "");
                         });

// A drag given up with Escape changes nothing, in a batch of mixed sizes too, and leaves the
// numbers of the crop in force, so the next typed number changes only itself.
TEST_F(PreciseEditingWindowTest, AfterEscapeATypedNumberChangesOnlyItself) {
    open(3);
    window->batchCropClickHandler();
    window->pageRangeClickHandler();
    window->pageRangeCtrl()->okClickHandler(); // every page
    showNumbers(CropInspector::Mode::Margins, CropLength::Unit::Points);
    dragOnPage({1, 1}, viewAt(0.33, 0.5), [this] {
        EXPECT_GT(field(0)->value(), 100) << "the numbers follow the drag";
        QTest::keyClick(ui().pdfImgView, Qt::Key_Escape);
    });
    EXPECT_EQ(field(0)->value(), 0);
    EXPECT_EQ(field(3)->value(), 0);
    EXPECT_EQ(window->session().undoStack().count(), 1) << "only the selection";

    type(1, 100);
    for (qint64 page : {0, 1})
        EXPECT_EQ(crop(page), QRectF(0, 0, 612, 692));
    dragOnPage({1, 1}, {30, 30});
    EXPECT_GT(crop().left(), 0) << "the next drag crops again";
}

// A ratio holds on the page, whatever the rounding of the view's pixels; it is the choice of
// the page it was chosen on only, and Free gives the marker its eight handles back.
TEST_F(PreciseEditingWindowTest, ARatioLocksOnThePageAndOnlyThere) {
    open(3);
    choose("16:9");
    for (int width : {701, 613, 457}) {
        window->resize(width + 400, width);
        QCoreApplication::processEvents();
        // From the marker's upper right handle.
        const QRectF marker = ui().pdfImgView->cropMarker().selectedRect();
        dragOnPage(marker.bottomRight(), viewAt(0.5, 0.67));
        EXPECT_NEAR(crop().width() / crop().height(), 16.0 / 9.0, 1e-9) << width;
    }
    window->nextClickHandler();
    EXPECT_EQ(sizes()->currentText(), "Free");
    EXPECT_FALSE(ui().pdfImgView->cropMarker().isLockingAspectRatio());
    window->previousClickHandler();
    choose("16:9");
    choose("Free");
    EXPECT_FALSE(ui().pdfImgView->cropMarker().isLockingAspectRatio());
}

} // namespace
