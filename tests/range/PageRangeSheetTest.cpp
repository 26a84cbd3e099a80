// The page range sheet as the user works it, and the lines its tags are laid out in.

#include "platform/CollectionView.h"
#include "range/JYEqualCellSpaceFlowLayout.h"
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

#include <vector>

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
                                         RangeCase{"StartNotANumber", "abc", "7", "1 - 7"}),
                         CaseName());

// Unlike the sheet's.
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

using Attributes = std::vector<CollectionViewLayoutAttributes>;

// Cells of these widths side by side, 20 high, bottoms at 25.
Attributes line(const std::vector<double>& widths, double x = 0) {
    Attributes cells;
    for (double width : widths) {
        cells.push_back({{0, int(cells.size())}, QRectF(x, 5, width, 20), {}});
        x += width + 10;
    }
    return cells;
}

std::vector<double> lefts(const Attributes& cells) {
    std::vector<double> xs;
    for (const auto& cell : cells)
        xs.push_back(cell.frame.x());
    return xs;
}

// Lines of tags spaced exactly and aligned left, as the sheet lays them out.
TEST(FlowLayoutTest, PlacesEachLineLeftAndLeavesHeadersAndTallerCellsAlone) {
    CollectionView view;
    auto* layout = new JYEqualCellSpaceFlowLayout(JYEqualCellSpaceFlowLayout::Left, 5);
    view.setCollectionViewLayout(layout);
    EXPECT_EQ(lefts(layout->respaced(line({40, 60, 30}, 17))), (std::vector<double>{5, 50, 115}));

    // A header alone on its line stays; the single cell after it is a line of its own.
    Attributes mixed = line({100});
    mixed[0].representedElementKind = CollectionViewLayoutAttributes::headerKind;
    mixed[0].frame.moveLeft(33);
    Attributes single = line({40});
    single[0].frame.translate(0, 30);
    mixed.push_back(single[0]);
    const Attributes placed = layout->respaced(mixed);
    EXPECT_EQ(placed[0].frame.x(), 33);
    EXPECT_EQ(placed[1].frame.x(), 5);

    // Cells of other heights are lines of their own, and nothing the layout keeps changes with a
    // query.
    Attributes cells = line({40, 60});
    cells[1].frame.setHeight(30);
    EXPECT_EQ(lefts(layout->respaced(cells)), (std::vector<double>{5, 5}));
    EXPECT_EQ(lefts(layout->respaced(line({40, 60}))), lefts(layout->respaced(line({40, 60}))));
}

} // namespace
