#include "editor/CropInspector.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <optional>
#include <ostream>

namespace {

using Unit = CropLength::Unit;
using Mode = CropInspector::Mode;

const QSizeF kA4(210 * 72 / 25.4, 297 * 72 / 25.4);
const QSizeF kLetter(612, 792);
constexpr double k20mm = 20 * 72 / 25.4;

void forgetChoices() {
    QSettings().remove(QStringLiteral("cropInspector"));
}

// Exactly, not to a rounding: a typed value must not drift on its way to the crop.
void expectExactly(const QRectF& actual, const QRectF& expected) {
    EXPECT_EQ(actual.x(), expected.x());
    EXPECT_EQ(actual.y(), expected.y());
    EXPECT_EQ(actual.width(), expected.width());
    EXPECT_EQ(actual.height(), expected.height());
}

class CropInspectorTest : public testing::Test {
protected:
    CropInspectorTest() {
        forgetChoices();
        inspector.emplace();
        inspector->show();
    }
    ~CropInspectorTest() override {
        inspector.reset();
        forgetChoices();
    }

    QDoubleSpinBox* field(int index) {
        return inspector->findChild<QDoubleSpinBox*>(QStringLiteral("inspectorField%1").arg(index));
    }
    QComboBox* combo(const char* name) {
        return inspector->findChild<QComboBox*>(QString::fromLatin1(name));
    }
    // Types text over what the field shows, without committing it.
    void typeInto(int index, const QString& text) {
        QDoubleSpinBox* f = field(index);
        f->setFocus();
        f->selectAll();
        QTest::keyClicks(f, text);
    }
    void enter(int index, const QString& text) {
        typeInto(index, text);
        QTest::keyClick(field(index), Qt::Key_Return);
    }

    std::optional<CropInspector> inspector;
};

struct EditCase {
    const char* name;
    Mode mode;
    Unit unit;
    QSizeF page;
    QRectF crop;
    int field;
    const char* typed;
    QRectF expected;
};

void PrintTo(const EditCase& c, std::ostream* out) {
    *out << c.name;
}

class CropInspectorEdit : public CropInspectorTest, public testing::WithParamInterface<EditCase> {};

// Fields: Left, Top, Right, Bottom for margins; X, Y, Width, Height for position and size.
TEST_P(CropInspectorEdit, CommitsTheTypedValueOnce) {
    const EditCase& c = GetParam();
    inspector->setMode(c.mode);
    inspector->setUnit(c.unit);
    inspector->showCrop(c.page, c.crop);
    QSignalSpy edited(&*inspector, &CropInspector::cropEdited);
    enter(c.field, QString::fromLatin1(c.typed));
    ASSERT_EQ(edited.size(), 1);
    const QRectF crop = edited.front().front().toRectF();
    expectExactly(crop, c.expected);
    // Left after the commit, the field reports nothing more.
    field(c.field)->clearFocus();
    EXPECT_EQ(edited.size(), 1);
}

const QRectF kInner(100, 100, 200, 300);

using enum CropLength::Unit;
using enum CropInspector::Mode;

INSTANTIATE_TEST_SUITE_P(
    Cases, CropInspectorEdit,
    testing::Values(
        // Past the opposite edge: stopped there, an empty crop rather than an inverted one.
        EditCase{"LeftPastRight", Margins, Points, kLetter, kInner, 0, "500", {300, 100, 0, 300}},
        EditCase{"TopPastBottom", Margins, Points, kLetter, kInner, 1, "700", {100, 100, 200, 0}},
        EditCase{"BottomPercent", Margins, Percent, kLetter, kInner, 3, "25", {100, 198, 200, 202}},
        EditCase{
            "XInches", PositionAndSize, Inches, kLetter, kInner, 0, "1.5", {108, 100, 200, 300}},
        EditCase{
            "XNearEdge", PositionAndSize, Points, kLetter, kInner, 0, "500", {500, 100, 112, 300}},
        EditCase{
            "WidthCap", PositionAndSize, Points, kLetter, kInner, 2, "600", {100, 100, 512, 300}},
        EditCase{
            "HeightPct", PositionAndSize, Percent, kLetter, kInner, 3, "50", {100, 100, 200, 396}}),
    [](const testing::TestParamInfo<EditCase>& param) { return param.param.name; });

// Units change the numbers, never the crop: a value typed in one unit joins the others as
// they were shown, to the last bit, not as rounded for the fields.
TEST_F(CropInspectorTest, SwitchingUnitsKeepsTheCrop) {
    const QRectF crop(k20mm, 10.123456, 300.456789, 400.987654);
    inspector->showCrop(kA4, crop);
    QSignalSpy edited(&*inspector, &CropInspector::cropEdited);
    QComboBox* unit = combo("inspectorUnit");
    const double expectedLeft[] = {crop.x(), 20, 20 / 25.4, crop.x() / kA4.width() * 100};
    for (int i = 0; i < unit->count(); ++i) {
        QTest::keyClick(unit, i == 0 ? Qt::Key_Home : Qt::Key_Down);
        EXPECT_NEAR(field(0)->value(), expectedLeft[i], 0.5 * std::pow(10, -field(0)->decimals()))
            << unit->currentText().toStdString();
    }
    EXPECT_TRUE(edited.isEmpty());
    inspector->setUnit(Unit::Inches);
    enter(3, "1");
    ASSERT_EQ(edited.size(), 1);
    expectExactly(edited.front().front().toRectF(),
                  QRectF(QPointF(crop.left(), 72), QPointF(crop.right(), crop.bottom())));
}

TEST_F(CropInspectorTest, ShowingACropReportsNothingAndSparesTheFieldBeingTyped) {
    QSignalSpy edited(&*inspector, &CropInspector::cropEdited);
    inspector->showCrop(kLetter, kInner);
    EXPECT_DOUBLE_EQ(field(2)->value(), 312);
    // A smaller page lowers the fields' limits below the values they hold.
    inspector->showCrop({200, 200}, {50, 50, 100, 100});
    EXPECT_DOUBLE_EQ(field(2)->value(), 50);
    inspector->setMode(Mode::PositionAndSize);
    EXPECT_DOUBLE_EQ(field(2)->value(), 100);
    EXPECT_TRUE(edited.isEmpty());

    // A drag goes on while the user types a width: the field keeps the typing, the others
    // follow the drag, and the commit joins the typed width to the dragged crop.
    typeInto(2, "30");
    inspector->showCrop({200, 200}, {60, 70, 80, 90});
    EXPECT_EQ(field(2)->text(), QStringLiteral("30"));
    EXPECT_DOUBLE_EQ(field(0)->value(), 60);
    EXPECT_TRUE(edited.isEmpty());
    QTest::keyClick(field(2), Qt::Key_Return);
    ASSERT_EQ(edited.size(), 1);
    expectExactly(edited.front().front().toRectF(), QRectF(60, 70, 30, 90));
}

TEST_F(CropInspectorTest, StepsCommitAndChoicesAreKeptBetweenRuns) {
    inspector->showCrop(kLetter, kInner);
    QSignalSpy edited(&*inspector, &CropInspector::cropEdited);
    field(1)->setFocus();
    QTest::keyClick(field(1), Qt::Key_Up);
    QTest::keyClick(field(1), Qt::Key_Up);
    ASSERT_EQ(edited.size(), 2);
    expectExactly(edited.back().front().toRectF(), QRectF(100, 100, 200, 298));

    inspector->setMode(Mode::PositionAndSize);
    inspector->setUnit(Unit::Percent);
    inspector.emplace();
    EXPECT_EQ(inspector->mode(), Mode::PositionAndSize);
    EXPECT_EQ(inspector->unit(), Unit::Percent);
    EXPECT_EQ(field(0)->decimals(), 2);
}

} // namespace
