#include "editor/CropPresetPicker.h"
#include "editor/CropPresetDialog.h"

#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <optional>

namespace {

void forgetOwnPresets() {
    QSettings().remove(QStringLiteral("cropPresets"));
}

class CropPresetPickerTest : public testing::Test {
protected:
    CropPresetPickerTest() {
        forgetOwnPresets();
        picker.emplace();
        picker->show();
        QObject::connect(&*picker, &CropPresetPicker::presetChosen,
                         [this](const CropPreset& preset) { chosen.append(preset.name()); });
        QObject::connect(&*picker, &CropPresetPicker::freeChosen,
                         [this] { chosen.append(QStringLiteral("(free)")); });
    }
    ~CropPresetPickerTest() override { forgetOwnPresets(); }

    QComboBox* combo() { return picker->findChild<QComboBox*>(QStringLiteral("presetPicker")); }
    // Chooses "Add Your Own…", the last item, and types text into the dialog it opens.
    CropPresetDialog* askFor(const QString& text) {
        QTest::keyClick(combo(), Qt::Key_End);
        // Earlier dialogs are deleted once closed; the one just opened is shown.
        for (auto* dialog : picker->findChildren<CropPresetDialog*>()) {
            if (dialog->isVisible()) {
                QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("presetText")), text);
                return dialog;
            }
        }
        ADD_FAILURE() << "no dialog";
        return nullptr;
    }
    static QPushButton* button(CropPresetDialog* dialog, QDialogButtonBox::StandardButton which) {
        return dialog->findChild<QDialogButtonBox*>()->button(which);
    }

    std::optional<CropPresetPicker> picker;
    QStringList chosen;
};

TEST_F(CropPresetPickerTest, ChoosesBuiltInsAndFreeAtOnce) {
    QTest::keyClick(combo(), Qt::Key_Down);
    QTest::keyClick(combo(), Qt::Key_Down);
    QTest::keyClick(combo(), Qt::Key_Home);
    EXPECT_EQ(chosen, QStringList({"A4", "A5", "(free)"}));
}

TEST_F(CropPresetPickerTest, KeepsTheUsersOwnBetweenRuns) {
    CropPresetDialog* dialog = askFor(QStringLiteral("3 x"));
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(button(dialog, QDialogButtonBox::Ok)->isEnabled());
    QTest::keyClicks(dialog->findChild<QLineEdit*>(), QStringLiteral(" 2 in"));
    QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(chosen, QStringList({"3 × 2 in"}));
    EXPECT_EQ(combo()->currentText(), QStringLiteral("3 × 2 in"));

    // A shape the list holds already is chosen there, not added again.
    dialog = askFor(QStringLiteral("210 x 297 mm"));
    ASSERT_TRUE(dialog);
    QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    dialog = askFor(QStringLiteral("16:10"));
    ASSERT_TRUE(dialog);
    QTest::mouseClick(button(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    // Cancelled, the choice shown before stays, and nothing is reported.
    dialog = askFor(QStringLiteral("1:2"));
    ASSERT_TRUE(dialog);
    QTest::mouseClick(button(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
    EXPECT_EQ(chosen, QStringList({"3 × 2 in", "A4", "16:10"}));
    EXPECT_EQ(combo()->currentText(), QStringLiteral("16:10"));

    picker.emplace();
    ASSERT_EQ(picker->ownPresets().size(), 2);
    EXPECT_EQ(picker->ownPresets()[0].dimensions(), QSizeF(216, 144));
    EXPECT_EQ(picker->ownPresets()[1].lockedRatio(), QSizeF(16, 10));
    EXPECT_GE(combo()->findText(QStringLiteral("16:10")), 0);
}

} // namespace
