#include "crop/PageSelection.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using Pages = std::vector<qint64>;

std::vector<RMCropInfo> records(const std::vector<QSizeF>& displayedSizes) {
    std::vector<RMCropInfo> result;
    for (const QSizeF& size : displayedSizes) {
        RMCropInfo info;
        info.pageRect = QRectF(QPointF(0, 0), size);
        result.push_back(info);
    }
    return result;
}

std::vector<RMCropInfo> letterPages(int count) {
    return records(std::vector<QSizeF>(static_cast<size_t>(count), QSizeF(612, 792)));
}

struct ExpandCase {
    const char* name;
    QStringList selection;
    int pageCount;
    Pages expected;
};

class ExpandTest : public testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandTest, SelectsTheseNumbers) {
    const auto& c = GetParam();
    EXPECT_EQ(PageSelection::expand(c.selection, letterPages(c.pageCount)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, ExpandTest,
    testing::Values(ExpandCase{"emptyIsAll", {}, 5, {1, 2, 3, 4, 5}},
                    ExpandCase{"allOverridesRanges", {"2 - 3", "+ All Pages"}, 4, {1, 2, 3, 4}},
                    ExpandCase{"oddOnOnePage", {"+ Odd Pages"}, 1, {1}},
                    ExpandCase{"evenOnOnePage", {"+ Even Pages"}, 1, {}},
                    ExpandCase{"oddWithRange", {"+ Odd Pages", "2 - 4"}, 7, {1, 2, 3, 4, 5, 7}},
                    ExpandCase{"oddAndEven", {"+ Even Pages", "+ Odd Pages"}, 4, {1, 2, 3, 4}},
                    ExpandCase{"reversedNoBlanks", {"5-3"}, 7, {3, 4, 5}},
                    ExpandCase{"reversedPadded", {" 5 - 3 "}, 7, {3, 4, 5}},
                    ExpandCase{"lineEnds", {"2\n-\r\n3"}, 7, {2, 3}},
                    ExpandCase{"single", {"4 - 4"}, 7, {4}},
                    ExpandCase{"overlapping", {"2 - 5", "4 - 6"}, 7, {2, 3, 4, 5, 6}},
                    ExpandCase{"zeroStartClipped", {"0 - 2"}, 5, {1, 2}},
                    ExpandCase{"pastTheEndClipped", {"4 - 99"}, 5, {4, 5}},
                    ExpandCase{"whollyPastTheEnd", {"7 - 9"}, 5, {}},
                    ExpandCase{"hugeNumbers", {"1 - 99999999999"}, 3, {1, 2, 3}},
                    ExpandCase{"negativeFirst", {"-3 - 2"}, 5, {1, 2, 3}},
                    ExpandCase{"noPages", {"+ Odd Pages", "1 - 3"}, 0, {}},
                    ExpandCase{"unknownEntry", {"+ Blue Pages", "hello"}, 3, {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(PageSelectionTest, ShapesFollowTheDisplayedSize) {
    // A rotated letter page is displayed 792 wide: landscape. A square counts as portrait.
    const auto pages = records({{612, 792}, {792, 612}, {500, 500}, {300, 200}});
    EXPECT_EQ(PageSelection::expand({"+ Portrait Pages"}, pages), (Pages{1, 3}));
    EXPECT_EQ(PageSelection::expand({"+ Landscape Pages"}, pages), (Pages{2, 4}));
    EXPECT_EQ(PageSelection::expand({"+ Landscape Pages", "+ Portrait Pages"}, pages),
              (Pages{1, 2, 3, 4}));
}

TEST(PageSelectionTest, AddPageNumKeepsTheListAscendingAndUnique) {
    Pages list;
    for (qint64 n : {5, 2, 9, 5, 1, 7, 9})
        PageSelection::addPageNum(n, list);
    EXPECT_EQ(list, (Pages{1, 2, 5, 7, 9}));
}

class LeadingIntTest : public testing::TestWithParam<std::pair<const char*, qint32>> {};

TEST_P(LeadingIntTest, ReadsTheLeadingNumber) {
    EXPECT_EQ(PageSelection::leadingInt(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingIntTest,
    testing::Values(std::pair{"12", 12}, std::pair{"  12abc", 12}, std::pair{"-5", -5},
                    std::pair{"+7", 7}, std::pair{"abc", 0}, std::pair{"", 0},
                    std::pair{"99999999999", std::numeric_limits<qint32>::max()},
                    std::pair{"-99999999999", std::numeric_limits<qint32>::min()}));

TEST(PageSelectionTest, RangeEntriesReadBack) {
    EXPECT_EQ(PageSelection::rangeEntry(3, 12), "3 - 12");
    EXPECT_EQ(PageSelection::expand({PageSelection::rangeEntry(2, 3)}, letterPages(5)),
              (Pages{2, 3}));
}

} // namespace
