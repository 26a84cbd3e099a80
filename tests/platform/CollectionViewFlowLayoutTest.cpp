#include "CollectionViewFixture.h"

namespace {

struct FlowCase {
    const char* name;
    double width;
    QMarginsF inset;
    double lineSpacing;
    double interitemSpacing;
    std::vector<std::vector<QSizeF>> sizes; // per section
    std::vector<std::vector<QRectF>> frames;
    double contentHeight;
    friend void PrintTo(const FlowCase& c, std::ostream* os) { *os << c.name; }
};

class FlowLayoutPositions : public CollectionViewFixture,
                            public testing::WithParamInterface<FlowCase> {};

TEST_P(FlowLayoutPositions, PlacesItemsInLinesInsideTheInsets) {
    const FlowCase& c = GetParam();
    client.rows.clear();
    for (const auto& section : c.sizes)
        client.rows.push_back(FakeCollectionClient::numbered(int(section.size())));
    client.size = [&c](const IndexPath& p) { return c.sizes[p.section][p.item]; };
    layout().sectionInset = c.inset;
    layout().minimumLineSpacing = c.lineSpacing;
    layout().minimumInteritemSpacing = c.interitemSpacing;
    show(int(c.width), 100);

    std::vector<CollectionViewLayoutAttributes> expected;
    for (int s = 0; s < int(c.frames.size()); ++s) {
        for (int i = 0; i < int(c.frames[s].size()); ++i) {
            EXPECT_EQ(layout().layoutAttributesForItemAtIndexPath({s, i})->frame, c.frames[s][i])
                << s << "." << i;
        }
    }
    EXPECT_EQ(layout().collectionViewContentSize(), QSizeF(c.width, c.contentHeight));
}

const QSizeF k100x50(100, 50);

INSTANTIATE_TEST_SUITE_P(
    Cases, FlowLayoutPositions,
    testing::Values(
        FlowCase{"SeveralPerLineThenWrap",
                 350,
                 {},
                 10,
                 10,
                 {{k100x50, k100x50, k100x50, k100x50}},
                 {{{0, 0, 100, 50}, {110, 0, 100, 50}, {220, 0, 100, 50}, {0, 60, 100, 50}}},
                 110},
        FlowCase{"InsetsAndSpacings",
                 340,
                 {20, 5, 20, 7},
                 4,
                 6,
                 {{k100x50, k100x50, k100x50}},
                 {{{20, 5, 100, 50}, {126, 5, 100, 50}, {20, 59, 100, 50}}},
                 116},
        FlowCase{"ShorterItemsSitInTheMiddleOfTheirLine",
                 400,
                 {},
                 10,
                 10,
                 {{{100, 40}, {100, 80}, {100, 20}, {150, 30}}},
                 {{{0, 20, 100, 40}, {110, 0, 100, 80}, {220, 30, 100, 20}, {0, 90, 150, 30}}},
                 120},
        FlowCase{"ExactFitStaysOnTheLine",
                 200,
                 {},
                 10,
                 10,
                 {{{60, 30}, {60, 30}, {60, 30}, {200, 30}, {200, 30}}},
                 {{{0, 0, 60, 30},
                   {70, 0, 60, 30},
                   {140, 0, 60, 30},
                   {0, 40, 200, 30},
                   {0, 80, 200, 30}}},
                 110},
        FlowCase{"TooWideStandsAlone",
                 200,
                 {},
                 10,
                 10,
                 {{{50, 10}, {300, 20}, {50, 10}}},
                 {{{0, 0, 50, 10}, {0, 20, 300, 20}, {0, 50, 50, 10}}},
                 60},
        FlowCase{"SectionsStackAndEmptyOnesTakeNoRoom",
                 300,
                 {0, 10, 0, 5},
                 10,
                 10,
                 {{k100x50, k100x50}, {}, {k100x50}},
                 {{{0, 10, 100, 50}, {110, 10, 100, 50}}, {}, {{0, 75, 100, 50}}},
                 130}),
    CaseName());

struct RectCase {
    const char* name;
    QRectF rect;
    int count;
    friend void PrintTo(const RectCase& c, std::ostream* os) { *os << c.name; }
};

class FlowLayoutTest : public CollectionViewFixture {};

// Three columns of 100 x 50 in section 0 (lines 5 + 60k to 55 + 60k), then lines of mixed
// heights in section 1, which starts at 600.
class FlowLayoutRectQuery : public CollectionViewFixture,
                            public testing::WithParamInterface<RectCase> {};

TEST_P(FlowLayoutRectQuery, ReturnsExactlyTheIntersectingItemsInOrder) {
    client.rows = {FakeCollectionClient::numbered(30), FakeCollectionClient::numbered(20)};
    client.size = [](const IndexPath& p) {
        return p.section == 0 ? QSizeF(100, 50) : QSizeF(100, 20 + 10 * (p.item % 5));
    };
    layout().sectionInset = {5, 5, 5, 5};
    show(350, 100);
    const auto& [name, rect, count] = GetParam();

    std::vector<IndexPath> expected;
    for (int s = 0; s < 2; ++s) {
        for (int i = 0; i < view.numberOfItemsInSection(s); ++i) {
            if (layout().layoutAttributesForItemAtIndexPath({s, i})->frame.intersects(rect))
                expected.push_back({s, i});
        }
    }
    std::vector<IndexPath> found;
    for (const auto& attributes : layout().layoutAttributesForElementsInRect(rect))
        found.push_back(attributes.indexPath);
    EXPECT_EQ(found, expected);
    EXPECT_EQ(int(found.size()), count);
}

INSTANTIATE_TEST_SUITE_P(Rects, FlowLayoutRectQuery,
                         testing::Values(RectCase{"TouchesTwoLinesOnly", {0, 55, 350, 10}, 0},
                                         RectCase{"IntoTheSecondLine", {0, 55, 350, 10.5}, 3},
                                         RectCase{"GapBetweenColumns", {106, 0, 8, 2000}, 0},
                                         RectCase{"MiddleColumn", {120, 0, 10, 2000}, 17},
                                         RectCase{"AcrossSections", {0, 580, 350, 40}, 6},
                                         RectCase{"Everything", {-1e3, -1e3, 5e3, 1e5}, 50},
                                         RectCase{"AboveTheFirstLine", {0, -100, 350, 105}, 0},
                                         RectCase{"NoArea", {0, 100, 350, 0}, 0}),
                         CaseName());

TEST_F(FlowLayoutTest, SizesAreAskedAgainOnlyAfterAnInvalidationOrAChangeOfWidthOrSettings) {
    client.rows = {FakeCollectionClient::numbered(1000)};
    client.size = [this](const IndexPath&) { return QSizeF(view.viewport()->width(), 40); };
    show(200, 300);
    client.sizeRequests = 0;
    for (int y : {0, 5000, 20000, 100})
        scrollTo(y);
    layout().layoutAttributesForElementsInRect({0, 0, 200, 50000});
    EXPECT_EQ(client.sizeRequests, 0);

    layout().invalidateLayout();
    EXPECT_EQ(client.sizeRequests, 1000);
    view.resize(200, 400);
    EXPECT_EQ(client.sizeRequests, 1000);
    view.resize(260, 400);
    EXPECT_EQ(client.sizeRequests, 2000);
    EXPECT_EQ(view.itemAtIndexPath({0, 2})->view()->width(), 260);
    layout().minimumLineSpacing = 0;
    EXPECT_EQ(layout().layoutAttributesForItemAtIndexPath({0, 1})->frame.top(), 40);
    EXPECT_EQ(client.sizeRequests, 3000);
}

} // namespace
