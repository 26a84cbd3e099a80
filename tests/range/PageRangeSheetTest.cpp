// The page range sheet as the user works it: toggles, ranges typed into the fields, tags
// deleted, Done and Cancel, and what the window is handed; and the settings window's Page
// Range tab, which takes ranges otherwise.

#include "platform/CollectionView.h"
#include "range/RMPageRangeInfoDelegate.h"
#include "range/RMPageRangeViewController.h"
#include "range/RMPageRangeWindowController.h"
#include "range/RMSettingWindowController.h"
#include "tests/support/CaseName.h"
#include "ui/MyTagCell.h"
#include "ui_RMPageRangeViewController.h"
#include "ui_RMPageRangeWindowController.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

namespace {

using ::PrintTo;

struct Window : RMPageRangeInfoDelegate {
    QStringList selection;
    int cancels = 0;
    void applyPageRangeSettingWithPageArray(const QStringList& list) override { selection = list; }
    void cancelPageRangeSetting() override { ++cancels; }
};

class PageRangeSheetTest : public testing::Test {
protected:
    // Opens the sheet as the editing window does, on a document of `pages` pages.
    void show(qint64 pages = 20) {
        sheet.setPageAmount(pages);
        sheet.rangeWindowWillShow();
        sheet.show();
    }
    Ui::RMPageRangeWindowController& ui() { return sheet.ui(); }
    const QStringList& list() { return sheet.editor().rangeTypeArray(); }
    // Buttons report their clicks once the click's events are done.
    static void click(QWidget* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    void addRange(const QString& start, const QString& end) {
        ui().startPageField->setText(start);
        ui().endPageField->setText(end);
        click(ui().addBtn);
    }
    void deleteTag(int item) {
        auto* tag = static_cast<MyTagCell*>(ui().labelCollectionView->itemAtIndexPath({0, item}));
        ASSERT_NE(tag, nullptr);
        click(tag->deleteBtn());
    }

    Window window;
    RMPageRangeWindowController sheet;
    void SetUp() override { sheet.setPageRangeDelegate(&window); }
};

struct RangeCase {
    const char* name;
    const char* start;
    const char* end;
    const char* entry;
};

class CustomRangeTest : public PageRangeSheetTest, public testing::WithParamInterface<RangeCase> {};

TEST_P(CustomRangeTest, IsKeptInsideTheDocumentAndShownAsUsed) {
    show(20);
    addRange(GetParam().start, GetParam().end);
    ASSERT_EQ(list().size(), 2);
    EXPECT_EQ(list()[1], GetParam().entry);
    EXPECT_EQ(ui().startPageField->text() + " - " + ui().endPageField->text(), GetParam().entry);
}

INSTANTIATE_TEST_SUITE_P(Fields, CustomRangeTest,
                         testing::Values(RangeCase{"Zeros", "0", "0", "1 - 1"},
                                         RangeCase{"Backwards", "9", "4", "4 - 4"},
                                         RangeCase{"EndPastTheLastPage", "3", "500", "3 - 20"},
                                         RangeCase{"BothPastTheLastPage", "30", "40", "20 - 20"},
                                         RangeCase{"StartNotANumber", "abc", "7", "1 - 7"}),
                         CaseName());

// Unlike the sheet, the settings window's Page Range tab takes a range as typed and leaves
// Done alone.
TEST(SettingWindowTest, ThePageRangeTabTakesARangeAsTyped) {
    RMSettingWindowController settings;
    auto& page = settings.pageSetViewCtrl()->ui();
    page.startPageField->setText("9");
    page.endPageField->setText("4");
    settings.pageSetViewCtrl()->editor().addPageClickHandler();
    EXPECT_EQ(settings.pageSetViewCtrl()->editor().rangeTypeArray(), QStringList{"9 - 4"});
    EXPECT_EQ(page.startPageField->text(), "9");
    EXPECT_TRUE(page.okBtn->isEnabled());
}

// Return in a range field adds its range, as "+" does, and leaves the sheet open; elsewhere
// it presses "Done".
TEST_F(PageRangeSheetTest, ReturnInARangeFieldAddsTheRangeAndElsewherePressesDone) {
    show(20);
    for (QLineEdit* field : {ui().startPageField, ui().endPageField}) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, field == ui().startPageField ? "2" : "3");
    }
    QTest::keyClick(ui().endPageField, Qt::Key_Return);
    EXPECT_EQ(list(), (QStringList{"1 - 20", "2 - 3"}));
    EXPECT_TRUE(window.selection.isEmpty()) << "Done was not pressed";
    QTest::keyClick(ui().startPageField, Qt::Key_Enter);
    EXPECT_EQ(list().size(), 2) << "the same range again adds nothing";
    EXPECT_TRUE(window.selection.isEmpty());
    QTest::keyClick(&sheet, Qt::Key_Return);
    EXPECT_EQ(window.selection, (QStringList{"1 - 20", "2 - 3"}));
}

TEST_F(PageRangeSheetTest, FirstOpeningTogglesRangesTwiceAndTheLastTagDeleted) {
    show(12);
    EXPECT_EQ(list(), QStringList{"1 - 12"});
    EXPECT_EQ(ui().labelCollectionView->numberOfItemsInSection(0), 1);
    for (SWSTAnswerButton* toggle : sheet.editor().controls().toggles())
        EXPECT_FALSE(toggle->isSelected());
    EXPECT_TRUE(ui().okBtn->isEnabled());
    EXPECT_EQ(ui().startPageField->text(), "1");

    click(ui().oddBtn);
    EXPECT_EQ(list(), (QStringList{"1 - 12", "+ Odd Pages"}));
    EXPECT_TRUE(ui().oddBtn->isSelected());
    click(ui().oddBtn);
    EXPECT_EQ(list(), QStringList{"1 - 12"});
    EXPECT_FALSE(ui().oddBtn->isSelected());

    addRange("2", "5");
    addRange("2", "5");
    EXPECT_EQ(list(), (QStringList{"1 - 12", "2 - 5"}));

    click(ui().allBtn);
    deleteTag(2);
    EXPECT_FALSE(ui().allBtn->isSelected());
    deleteTag(1);
    deleteTag(0);
    EXPECT_TRUE(list().isEmpty());
    EXPECT_FALSE(ui().okBtn->isEnabled());
    // Return presses only an enabled Done.
    QTest::keyClick(&sheet, Qt::Key_Return);
    EXPECT_TRUE(window.selection.isEmpty());

    // Escape cancels: the list as it was shown comes back, once, and Done with it.
    QTest::keyClick(&sheet, Qt::Key_Escape);
    EXPECT_EQ(window.cancels, 1);
    show(12);
    EXPECT_EQ(list(), QStringList{"1 - 12"});
    EXPECT_TRUE(ui().okBtn->isEnabled());
}

TEST_F(PageRangeSheetTest, DoneHandsOverACopyThatALaterCancelLeavesAlone) {
    show(20);
    click(ui().oddBtn);
    QTest::keyClick(&sheet, Qt::Key_Return);
    const QStringList handed = {"1 - 20", "+ Odd Pages"};
    EXPECT_EQ(window.selection, handed);

    show(20);
    EXPECT_TRUE(ui().oddBtn->isSelected());
    deleteTag(1);
    click(ui().cancelBtn);
    EXPECT_EQ(window.selection, handed);
    show(20);
    EXPECT_EQ(list(), handed);
    EXPECT_TRUE(ui().oddBtn->isSelected());
}

} // namespace
