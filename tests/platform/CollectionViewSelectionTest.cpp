#include "platform/CollectionViewSelection.h"

#include "CaseName.h"

#include <gtest/gtest.h>

namespace {

struct ClickCase {
    const char* name;
    bool allowsEmpty;
    bool allowsMultiple;
    QSet<IndexPath> before;
    std::optional<IndexPath> hit; // nullopt: empty space
    bool toggle;
    QSet<IndexPath> after;
    friend void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.name; }
};

class SelectionClick : public testing::TestWithParam<ClickCase> {};

TEST_P(SelectionClick, FollowsTheSelectionRules) {
    const ClickCase& c = GetParam();
    CollectionViewSelection selection;
    selection.setAllowsEmpty(c.allowsEmpty);
    selection.setAllowsMultiple(true);
    selection.select(c.before);
    selection.setAllowsMultiple(c.allowsMultiple);

    const auto change = selection.click(c.hit, c.toggle);
    EXPECT_EQ(selection.indexPaths(), c.after);
    EXPECT_EQ(change.selected, c.after - c.before);
    EXPECT_EQ(change.deselected, c.before - c.after);
}

const IndexPath kA{0, 1}, kB{0, 2}, kC{1, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionClick,
    testing::Values(
        ClickCase{"ToggleIsAPlainClickUnderSingle", true, false, {kA}, kB, true, {kB}},
        ClickCase{"ToggleAdds", true, true, {kA}, kB, true, {kA, kB}},
        ClickCase{"ToggleRemoves", true, true, {kA, kB}, kB, true, {kA}},
        ClickCase{"ToggleKeepsTheLastWithoutEmpty", false, true, {kA}, kA, true, {kA}},
        ClickCase{"ToggleRemovesTheLastWithEmpty", true, true, {kA}, kA, true, {}},
        ClickCase{"PlainClickReplacesUnderMultiple", true, true, {kA, kB}, kC, false, {kC}},
        ClickCase{
            "EmptySpaceKeepsWithoutEmpty", false, true, {kA, kB}, std::nullopt, false, {kA, kB}}),
    CaseName());

TEST(SelectionProgram, ReplacesWithTheFirstUnderSingleAndAddsUnderMultiple) {
    CollectionViewSelection single;
    single.select({kC});
    single.select({kC, kB});
    EXPECT_EQ(single.indexPaths(), QSet<IndexPath>{kB});

    CollectionViewSelection multiple;
    multiple.setAllowsMultiple(true);
    multiple.select({kA});
    multiple.select({kC, kB});
    EXPECT_EQ(multiple.indexPaths(), (QSet<IndexPath>{kA, kB, kC}));
}

} // namespace
