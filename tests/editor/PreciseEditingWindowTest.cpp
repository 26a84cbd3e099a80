// Precise editing in the window: crop numbers typed beside the page, nudges from the keyboard,
// paper sizes, and undo and redo of it all, as a user does them.

#include "editor/CropInspector.h"
#include "editor/CropPresetDialog.h"
#include "editor/CropPresetPicker.h"
#include "range/RMPageRangeEditor.h"
#include "range/RMPageRangeWindowController.h"
#include "tests/editor/MainWindowFixture.h"
#include "tests/support/CaseName.h"
#include "tests/support/ExpectNear.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <ostream>
#include <string>

namespace {

using ::PrintTo;

const double kMm = 72.0 / 25.4;
const QRectF kA4(0, 0, 210 * kMm, 297 * kMm);
const QRectF kLetterPage(0, 0, 612, 792);
const QRectF kInner(100, 100, 200, 300);

using Mode = CropInspector::Mode;
using Unit = CropLength::Unit;

// Exactly, not to a rounding: a typed value must not drift on its way to the crop.
void expectExactly(const QRectF& actual, const QRectF& expected) {
    EXPECT_EQ(actual.x(), expected.x());
    EXPECT_EQ(actual.y(), expected.y());
    EXPECT_EQ(actual.width(), expected.width());
    EXPECT_EQ(actual.height(), expected.height());
}

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
    void showNumbers(Mode mode, Unit unit) {
        ui().cropInspector->setMode(mode);
        ui().cropInspector->setUnit(unit);
    }
};

class TypedMarginsTest : public PreciseEditingWindowTest,
                         public testing::WithParamInterface<int> {};

TEST_P(TypedMarginsTest, GiveThePageBoxesOfThoseMarginsAsShown) {
    open({{.mediaBox = kA4, .rotate = GetParam()}});
    showNumbers(Mode::Margins, Unit::Millimetres);
    const double left = 10 * kMm, top = 20 * kMm, right = 30 * kMm, bottom = 40 * kMm;
    for (int i = 0; i < 4; ++i)
        type(i, 10.0 * (i + 1));
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
    const QRectF page = window->session().originalPdfDoc().boundsForBox(0, PdfBox::Media);
    expectNear(cropBox(0), QRectF(QPointF(l, b), QPointF(page.width() - r, page.height() - t)));
}

INSTANTIATE_TEST_SUITE_P(Rotations, TypedMarginsTest, testing::Values(0, 90, 180, 270));

struct TypedCase {
    const char* name;
    Mode mode;
    Unit unit;
    int field;
    double typed;
    QRectF expected;
    // Steps up with the arrow key this many times instead of typing.
    int ups = 0;
};

class TypedNumberTest : public PreciseEditingWindowTest,
                        public testing::WithParamInterface<TypedCase> {};

// On a letter page cropped to kInner; each step of the arrows is one commit too, and the field
// left afterwards makes no further step.
TEST_P(TypedNumberTest, IsOneStepAndKeepsTheCropOnThePage) {
    const TypedCase& c = GetParam();
    open(1);
    window->session().setCurrentCrop(kInner);
    showNumbers(c.mode, c.unit);
    const int before = steps();
    field(c.field)->setFocus();
    for (int i = 0; i < c.ups; ++i)
        QTest::keyClick(field(c.field), Qt::Key_Up);
    if (c.ups == 0)
        type(c.field, c.typed);
    field(c.field)->clearFocus();
    EXPECT_EQ(steps(), before + qMax(c.ups, 1));
    expectExactly(crop(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedNumberTest,
    testing::Values(
        // Past the opposite edge: stopped there, an empty crop rather than an inverted one.
        TypedCase{"LeftPastRight", Mode::Margins, Unit::Points, 0, 500, {300, 100, 0, 300}},
        TypedCase{"TopPastBottom", Mode::Margins, Unit::Points, 1, 700, {100, 100, 200, 0}},
        TypedCase{"BottomPercent", Mode::Margins, Unit::Percent, 3, 25, {100, 198, 200, 202}},
        TypedCase{"TopUpTwice", Mode::Margins, Unit::Points, 1, 0, {100, 100, 200, 298}, 2},
        TypedCase{"XInches", Mode::PositionAndSize, Unit::Inches, 0, 1.5, {108, 100, 200, 300}},
        // A position is kept as typed; the size gives way at the page's edge.
        TypedCase{"XNearEdge", Mode::PositionAndSize, Unit::Points, 0, 500, {500, 100, 112, 300}},
        TypedCase{"YNearEdge", Mode::PositionAndSize, Unit::Points, 1, 600, {100, 600, 200, 192}},
        TypedCase{"WidthCap", Mode::PositionAndSize, Unit::Points, 2, 600, {100, 100, 512, 300}},
        TypedCase{"HeightPct", Mode::PositionAndSize, Unit::Percent, 3, 50, {100, 100, 200, 396}}),
    CaseName());

// Units change the numbers, never the crop: a value typed in one unit joins the others as
// they were shown, to the last bit, not as rounded for the fields.
TEST_F(PreciseEditingWindowTest, SwitchingUnitsKeepsTheCrop) {
    open({{.mediaBox = kA4}});
    const QRectF start(20 * kMm, 10.123456, 300.456789, 400.987654);
    window->session().setCurrentCrop(start);
    showNumbers(Mode::Margins, Unit::Points);
    const int before = steps();
    auto* unit = window->findChild<QComboBox*>("inspectorUnit");
    const double expectedLeft[] = {start.x(), 20, 20 / 25.4, start.x() / kA4.width() * 100};
    for (int i = 0; i < unit->count(); ++i) {
        QTest::keyClick(unit, i == 0 ? Qt::Key_Home : Qt::Key_Down);
        EXPECT_NEAR(field(0)->value(), expectedLeft[i], 0.5 * std::pow(10, -field(0)->decimals()))
            << unit->currentText().toStdString();
    }
    EXPECT_EQ(steps(), before);
    ui().cropInspector->setUnit(Unit::Inches);
    type(3, 1);
    expectExactly(crop(),
                  QRectF(QPointF(start.left(), 72), QPointF(start.right(), start.bottom())));
}

// Another page's crop, or one a fit gives, is shown without an edit; a number being typed
// meanwhile stays, and its commit joins it to the crop shown.
TEST_F(PreciseEditingWindowTest, ShownCropsEditNothingAndSpareTheNumberBeingTyped) {
    open({blockPage(kLetterPage, {60, 70, 80, 90}), {.mediaBox = QRectF(0, 0, 200, 200)}});
    showNumbers(Mode::Margins, Unit::Points);
    window->nextClickHandler();
    window->session().setCurrentCrop({50, 50, 100, 100});
    window->previousClickHandler();
    window->session().setCurrentCrop(kInner);
    EXPECT_DOUBLE_EQ(field(2)->value(), 312);
    const int before = steps();
    // The smaller page lowers the fields' limits below the values they hold.
    window->nextClickHandler();
    EXPECT_DOUBLE_EQ(field(2)->value(), 50);
    showNumbers(Mode::PositionAndSize, Unit::Points);
    EXPECT_DOUBLE_EQ(field(2)->value(), 100);
    EXPECT_EQ(steps(), before);

    window->previousClickHandler();
    field(2)->setFocus();
    field(2)->selectAll();
    QTest::keyClicks(field(2), "30");
    fitToContent();
    EXPECT_EQ(field(2)->text(), "30");
    EXPECT_DOUBLE_EQ(field(0)->value(), 60);
    QTest::keyClick(field(2), Qt::Key_Return);
    expectExactly(crop(), QRectF(60, 70, 30, 90));
}

TEST_F(PreciseEditingWindowTest, TheNumbersShownAreTheOnesSaved) {
    open(1);
    showNumbers(Mode::PositionAndSize, Unit::Points);
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
    // (Nudges there and back, and against the page's edge, are the session's tests'.)
    key(Qt::Key_Tab); // handle 1: the left and bottom edges
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(crop().x(), start.x() + 20);
    EXPECT_DOUBLE_EQ(crop().right(), start.right() + 10);
    key(Qt::Key_Up, Qt::AltModifier); // the bottom edge, the last used up the page
    EXPECT_DOUBLE_EQ(crop().y(), start.y() + 1);
    EXPECT_EQ(editAction("Undo")->text(), "Undo Nudge of Page 1");
    QTest::keySequence(window.get(), QKeySequence::Undo);
    EXPECT_DOUBLE_EQ(crop().y(), start.y());

    key(Qt::Key_Escape);
    key(Qt::Key_Right);
    EXPECT_EQ(current(), 1) << "without the focus on the page, the arrows turn pages";
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

// However little a crop keeps out, a save writes it, with "Done" first or without: two typed
// points, one nudge, a fit that keeps 99.9 per cent of the page.
enum class SmallCrop { TypedMarginAndDone, Nudge, Fit };

const char* const kSmallCropNames[] = {"TypedMarginAndDone", "Nudge", "Fit"};

void PrintTo(SmallCrop how, std::ostream* out) {
    *out << kSmallCropNames[int(how)];
}

class SmallCropTest : public PreciseEditingWindowTest,
                      public testing::WithParamInterface<SmallCrop> {};

TEST_P(SmallCropTest, IsWrittenByASave) {
    open({blockPage(kLetterPage, {100, 0, 412, 792})});
    QRectF expected;
    switch (GetParam()) {
    case SmallCrop::TypedMarginAndDone:
        showNumbers(Mode::Margins, Unit::Points);
        type(0, 2);
        expected = {2, 0, 610, 792};
        break;
    case SmallCrop::Nudge:
        QTest::mouseClick(ui().pdfImgView, Qt::LeftButton, {}, ui().pdfImgView->rect().center());
        key(Qt::Key_Tab); // the lower-left handle
        key(Qt::Key_Right);
        expected = {1, 0, 611, 792};
        break;
    case SmallCrop::Fit:
        // The content with that padding, within the page: all but 0.3 points either side.
        fitToContent({99.7, Unit::Points});
        expected = {0.3, 0, 611.4, 792};
        break;
    }
    EXPECT_TRUE(ui().saveBtn->isEnabled());
    EXPECT_TRUE(window->isWindowModified());
    if (GetParam() == SmallCrop::TypedMarginAndDone)
        pressDone();
    const QString saved = dir.filePath("saved.pdf");
    ASSERT_EQ(saveTo(saved), "");
    EXPECT_FALSE(window->isWindowModified());
    expectNear(QpdfLoader().open(saved).document->boundsForBox(0, PdfBox::Crop), expected);
}

INSTANTIATE_TEST_SUITE_P(Ways, SmallCropTest,
                         testing::Values(SmallCrop::TypedMarginAndDone, SmallCrop::Nudge,
                                         SmallCrop::Fit),
                         [](const auto& test) { return kSmallCropNames[int(test.param)]; });

// A drag given up with Escape changes nothing, in a batch of mixed sizes too: the marker and
// the numbers show the crop in force, and the next drag crops as ever.
TEST_F(PreciseEditingWindowTest, AfterEscapeATypedNumberChangesOnlyItself) {
    open(3);
    window->batchCropClickHandler();
    window->pageRangeClickHandler();
    window->pageRangeCtrl()->okClickHandler(); // every page
    showNumbers(Mode::Margins, Unit::Points);
    const QRectF marker = ui().pdfImgView->cropRect();
    dragOnPage({1, 1}, viewAt(0.33, 0.5), [this] {
        EXPECT_GT(field(0)->value(), 100) << "the numbers follow the drag";
        QTest::keyClick(ui().pdfImgView, Qt::Key_Escape);
    });
    EXPECT_EQ(ui().pdfImgView->cropRect(), marker) << "the marker is put back";
    EXPECT_EQ(field(0)->value(), 0);
    EXPECT_EQ(field(3)->value(), 0);
    EXPECT_EQ(steps(), 1) << "only the selection";

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
    QTest::keyClick(sizes(), Qt::Key_Home);
    EXPECT_EQ(sizes()->currentText(), "Free");
    EXPECT_FALSE(ui().pdfImgView->cropMarker().isLockingAspectRatio());
}

// A size is laid on the page as soon as the list's keys reach it: A4 first, then A5. The user's
// own sizes come from the list's last item and are the next window's too, as the choice of
// numbers and unit is; a size the list holds already is chosen there, and a cancelled one leaves
// the choice as it was.
TEST_F(PreciseEditingWindowTest, SizesAreLaidOnThePageAndOwnOnesAreAddedOnceAndKept) {
    open({{.mediaBox = kA4}});
    QTest::keyClick(sizes(), Qt::Key_Down);
    QTest::keyClick(sizes(), Qt::Key_Down);
    EXPECT_EQ(sizes()->currentText(), "A5");
    EXPECT_NEAR(crop().width(), 419.53, 0.005);
    EXPECT_NEAR(crop().height(), 595.28, 0.005);
    const QRectF page = window->session().originalPdfDoc().boundsForBox(0, PdfBox::Media);
    EXPECT_NEAR(crop().center().x(), page.center().x(), 1e-9);
    EXPECT_NEAR(crop().center().y(), page.center().y(), 1e-9);
    // Chooses "Add Your Own…" and types text into the dialog it opens; earlier dialogs are
    // deleted once closed.
    const auto ask = [this](const char* text) -> CropPresetDialog* {
        QTest::keyClick(sizes(), Qt::Key_End);
        for (auto* dialog : window->findChildren<CropPresetDialog*>()) {
            if (dialog->isVisible()) {
                QTest::keyClicks(dialog->findChild<QLineEdit*>("presetText"), text);
                return dialog;
            }
        }
        return nullptr;
    };
    const auto click = [](CropPresetDialog* dialog, QDialogButtonBox::StandardButton which) {
        QPushButton* button = dialog->findChild<QDialogButtonBox*>()->button(which);
        QTest::mouseClick(button, Qt::LeftButton);
        return button->isEnabled();
    };
    CropPresetDialog* dialog = ask("3 x");
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(click(dialog, QDialogButtonBox::Ok)) << "no size yet";
    QTest::keyClicks(dialog->findChild<QLineEdit*>(), " 2 in");
    EXPECT_TRUE(click(dialog, QDialogButtonBox::Ok));
    EXPECT_EQ(sizes()->currentText(), "3 × 2 in");
    EXPECT_EQ(crop().size(), QSizeF(144, 216)) << "turned to the page";
    ASSERT_TRUE(dialog = ask("210 x 297 mm"));
    click(dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(sizes()->currentText(), "A4");
    EXPECT_NE(crop().size(), QSizeF(144, 216)) << "A4 laid on the page";
    ASSERT_TRUE(dialog = ask("16:10"));
    click(dialog, QDialogButtonBox::Ok);
    const QRectF wide = crop();
    EXPECT_NEAR(wide.width() / wide.height(), 1.6, 1e-9);
    ASSERT_TRUE(dialog = ask("1:2"));
    click(dialog, QDialogButtonBox::Cancel);
    EXPECT_EQ(sizes()->currentText(), "16:10");
    EXPECT_EQ(crop(), wide);

    showNumbers(Mode::PositionAndSize, Unit::Percent);
    window.reset();
    open(1);
    EXPECT_EQ(ui().cropInspector->mode(), Mode::PositionAndSize);
    EXPECT_EQ(ui().cropInspector->unit(), Unit::Percent);
    EXPECT_EQ(field(0)->decimals(), 2);
    const QList<CropPreset> own = window->findChild<CropPresetPicker*>()->ownPresets();
    ASSERT_EQ(own.size(), 2);
    EXPECT_EQ(own[0].dimensions(), QSizeF(216, 144));
    EXPECT_EQ(own[1].lockedRatio(), QSizeF(16, 10));
    EXPECT_GE(sizes()->findText("16:10"), 0);
}

} // namespace
