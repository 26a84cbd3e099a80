// Lines of tags spaced exactly, aligned left, centred or right, in a view 300 wide.

#include "range/JYEqualCellSpaceFlowLayout.h"
#include "platform/CollectionView.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using ::PrintTo;

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

struct Alignment {
    const char* name;
    qint64 type;
    std::vector<double> expected;
};

class FlowLayoutTest : public testing::TestWithParam<Alignment> {
protected:
    FlowLayoutTest() : layout(new JYEqualCellSpaceFlowLayout(GetParam().type, 5)) {
        view.setFrameShape(QFrame::NoFrame);
        view.setCollectionViewLayout(layout);
        view.resize(300, 200);
        view.show(); // the viewport takes its size when the view is shown
    }
    CollectionView view;
    JYEqualCellSpaceFlowLayout* layout;
};

TEST_P(FlowLayoutTest, PlacesEachLineAsAlignedAndLeavesHeadersAlone) {
    ASSERT_EQ(view.viewport()->width(), 300);
    EXPECT_EQ(lefts(layout->respaced(line({40, 60, 30}, 17))), GetParam().expected);

    // A header alone on its line stays; the single cell after it is a line of its own.
    Attributes mixed = line({100});
    mixed[0].representedElementKind = CollectionViewLayoutAttributes::headerKind;
    mixed[0].frame.moveLeft(33);
    Attributes single = line({40});
    single[0].frame.translate(0, 30);
    mixed.push_back(single[0]);
    const Attributes placed = layout->respaced(mixed);
    EXPECT_EQ(placed[0].frame.x(), 33);
    EXPECT_EQ(placed[1].frame.x(), layout->respaced(line({40}))[0].frame.x());
}

INSTANTIATE_TEST_SUITE_P(
    Alignments, FlowLayoutTest,
    testing::Values(Alignment{"Left", JYEqualCellSpaceFlowLayout::Left, {5, 50, 115}},
                    Alignment{"Centred", JYEqualCellSpaceFlowLayout::Centred, {80, 125, 190}},
                    Alignment{"Right", JYEqualCellSpaceFlowLayout::Right, {155, 200, 265}},
                    // Not an alignment: the cells stay where they are.
                    Alignment{"Unknown", 7, {17, 67, 137}}),
    CaseName());

TEST(FlowLayoutLines, CellsOfOtherHeightsAreLinesOfTheirOwnAndQueriesRepeat) {
    CollectionView view;
    auto* layout = new JYEqualCellSpaceFlowLayout(JYEqualCellSpaceFlowLayout::Left, 5);
    view.setCollectionViewLayout(layout);
    Attributes cells = line({40, 60});
    cells[1].frame.setHeight(30);
    EXPECT_EQ(lefts(layout->respaced(cells)), (std::vector<double>{5, 5}));
    // Nothing the layout keeps changes with a query.
    EXPECT_EQ(lefts(layout->respaced(line({40, 60}))), lefts(layout->respaced(line({40, 60}))));
}

} // namespace
