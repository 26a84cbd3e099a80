#include "crop/PageSelection.h"

#include <gtest/gtest.h>

namespace {

using Pages = std::vector<qint64>;

std::vector<RMCropInfo> records(const std::vector<QSizeF>& displayedSizes) {
    std::vector<RMCropInfo> result(displayedSizes.size());
    for (size_t i = 0; i < result.size(); ++i)
        result[i].pageRect = QRectF(QPointF(0, 0), displayedSizes[i]);
    return result;
}

TEST(PageSelectionTest, ExpandsToAscendingPageNumbersThatExist) {
    const struct {
        QStringList selection;
        int pageCount;
        Pages expected;
    } cases[] = {
        {{}, 5, {1, 2, 3, 4, 5}},
        {{"2 - 3", "+ All Pages"}, 4, {1, 2, 3, 4}},
        {{"+ Odd Pages"}, 1, {1}},
        {{"+ Even Pages"}, 1, {}},
        {{"+ Odd Pages", "2 - 4"}, 7, {1, 2, 3, 4, 5, 7}},
        {{"+ Even Pages", "+ Odd Pages"}, 4, {1, 2, 3, 4}},
        {{"5-3"}, 7, {3, 4, 5}},
        {{"2\n-\r\n3"}, 7, {2, 3}},
        {{PageSelection::rangeEntry(4, 4)}, 7, {4}},
        {{"2 - 5", "4 - 6"}, 7, {2, 3, 4, 5, 6}},
        {{"0 - 2"}, 5, {1, 2}},
        {{"4 - 99"}, 5, {4, 5}},
        {{"7 - 9"}, 5, {}},
        {{"1 - 99999999999"}, 3, {1, 2, 3}},
        {{"-3 - 2"}, 5, {1, 2, 3}},
        {{"abc - 2"}, 5, {1, 2}},
        {{"+ Odd Pages", "1 - 3"}, 0, {}},
        {{"+ Blue Pages", "hello"}, 3, {}},
    };
    for (const auto& [selection, pageCount, expected] : cases) {
        const std::vector<QSizeF> letters(static_cast<size_t>(pageCount), QSizeF(612, 792));
        EXPECT_EQ(PageSelection::expand(selection, records(letters)), expected)
            << selection.join(", ").toStdString() << " of " << pageCount;
    }
}

TEST(PageSelectionTest, ShapesFollowTheDisplayedSize) {
    // A rotated letter page is displayed 792 wide: landscape. A square counts as portrait.
    const auto pages = records({{612, 792}, {792, 612}, {500, 500}, {300, 200}});
    EXPECT_EQ(PageSelection::expand({"+ Portrait Pages"}, pages), (Pages{1, 3}));
    EXPECT_EQ(PageSelection::expand({"+ Landscape Pages"}, pages), (Pages{2, 4}));
    EXPECT_EQ(PageSelection::expand({"+ Landscape Pages", "+ Portrait Pages"}, pages),
              (Pages{1, 2, 3, 4}));
}

} // namespace
