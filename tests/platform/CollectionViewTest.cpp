#include "CollectionViewFixture.h"

#include <QSignalSpy>

namespace {

// 100 rows of 200 x 50, 60 points apart, in a 200 x 300 viewport: rows 0 to 4 are in view.
class CollectionViewTest : public CollectionViewFixture {
protected:
    CollectionViewTest() {
        client.rows = {FakeCollectionClient::numbered(100)};
        layout().itemSize = {200, 50};
    }

    // The rows that have items, checking that each item is shown at its row and with its text.
    std::vector<int> shownRows() const {
        std::vector<int> rows;
        for (CollectionViewItem* item : view.visibleItems()) {
            const int row = item->indexPath().item;
            EXPECT_TRUE(item->view()->isVisible());
            EXPECT_EQ(item->view()->geometry(), QRect(0, 60 * row - scrollY(), 200, 50));
            EXPECT_EQ(static_cast<LabelItem*>(item)->label()->text(), client.rows[0][row]);
            rows.push_back(row);
        }
        return rows;
    }
    int shownWidgets() const {
        int count = 0;
        for (QWidget* child : view.viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            count += child->isVisible();
        return count;
    }
    static std::vector<int> range(int first, int last) {
        std::vector<int> rows;
        for (int row = first; row <= last; ++row)
            rows.push_back(row);
        return rows;
    }
    QPoint pointIn(int row) const {
        return view.itemAtIndexPath({0, row})->view()->geometry().center();
    }
    void click(const QPoint& viewportPoint) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, viewportPoint);
    }
    QSet<IndexPath> rowSet(std::initializer_list<int> items) const {
        QSet<IndexPath> paths;
        for (int item : items)
            paths.insert({0, item});
        return paths;
    }
};

struct VisibleCase {
    const char* name;
    int scroll;
    qreal margin;
    int first;
    int last;
    friend void PrintTo(const VisibleCase& c, std::ostream* os) { *os << c.name; }
};

class CollectionViewVisibility : public CollectionViewTest,
                                 public testing::WithParamInterface<VisibleCase> {};

TEST_P(CollectionViewVisibility, OnlyRowsInViewOrInTheMarginHaveWidgets) {
    const VisibleCase& c = GetParam();
    view.setPrefetchMargin(c.margin);
    show(200, 300);
    scrollTo(c.scroll);
    EXPECT_EQ(shownRows(), range(c.first, c.last));
    EXPECT_EQ(shownWidgets(), c.last - c.first + 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, CollectionViewVisibility,
                         testing::Values(VisibleCase{"Top", 0, 0, 0, 4},
                                         VisibleCase{"EdgeTouchesTheNextRow", 600, 0, 10, 14},
                                         VisibleCase{"RowsCutAtBothEdges", 630, 0, 10, 15},
                                         VisibleCase{"WithMargin", 600, 100, 8, 16},
                                         VisibleCase{"End", 5690, 0, 95, 99}),
                         CaseName());

TEST_F(CollectionViewTest, ScrollingAsksOnlyForArrivingRowsAndReusesItems) {
    show(200, 300);
    scrollTo(60);
    EXPECT_EQ(client.itemRequests, 6);
    EXPECT_EQ(made, 5);
    EXPECT_EQ(reuses, 1);
    EXPECT_EQ(client.log, QStringList({"display 0.0", "display 0.1", "display 0.2", "display 0.3",
                                       "display 0.4", "display 0.5"}));
    for (int y = 60; y <= 5690; y += 35)
        scrollTo(y);
    EXPECT_EQ(client.itemRequests, 100);
    EXPECT_EQ(made, 6);
    EXPECT_LE(view.viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 6);
}

// Moves every item 15 points right, as a layout that spaces its lines differently would.
class ShiftingLayout : public CollectionViewFlowLayout {
public:
    std::vector<CollectionViewLayoutAttributes>
    layoutAttributesForElementsInRect(const QRectF& rect) const override {
        auto attributes = CollectionViewFlowLayout::layoutAttributesForElementsInRect(rect);
        for (auto& element : attributes)
            element.frame.translate(15, 0);
        return attributes;
    }
};

TEST_F(CollectionViewTest, WidgetsAndHitsFollowALayoutOverride) {
    auto* shifting = new ShiftingLayout;
    shifting->itemSize = {200, 50};
    view.setCollectionViewLayout(shifting);
    show(200, 300);
    EXPECT_EQ(view.itemAtIndexPath({0, 1})->view()->geometry(), QRect(15, 60, 200, 50));
    EXPECT_EQ(view.indexPathForItemAtPoint({10, 70}), std::nullopt);
    EXPECT_EQ(view.indexPathForItemAtPoint({199, 70}), (IndexPath{0, 1}));
}

TEST_F(CollectionViewTest, UserSelectionsReachTheDelegateProgramSelectionsDoNot) {
    show(200, 300);
    client.log.clear();
    QSignalSpy changes(&view, &CollectionView::selectionChanged);
    click(pointIn(1));
    EXPECT_TRUE(view.selectionIndexPaths().isEmpty()) << "not selectable yet";

    view.setSelectable(true);
    click(pointIn(1));
    QLabel* label = static_cast<LabelItem*>(view.itemAtIndexPath({0, 3}))->label();
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    EXPECT_EQ(client.log, QStringList({"select 0.1", "deselect 0.1", "select 0.3"}));
    EXPECT_FALSE(view.itemAtIndexPath({0, 1})->isSelected());
    EXPECT_TRUE(view.itemAtIndexPath({0, 3})->isSelected());

    view.selectItemsAtIndexPaths(rowSet({0}), CollectionView::ScrollPosition::None);
    EXPECT_EQ(client.log.size(), 3);
    EXPECT_EQ(view.selectionIndexPaths(), rowSet({0}));
    EXPECT_TRUE(view.itemAtIndexPath({0, 0})->isSelected());
    EXPECT_FALSE(view.itemAtIndexPath({0, 3})->isSelected());
    EXPECT_EQ(changes.count(), 3);
}

class CollectionViewEmptyClick : public CollectionViewTest,
                                 public testing::WithParamInterface<bool> {};

TEST_P(CollectionViewEmptyClick, DeselectsOnlyWhenEmptySelectionIsAllowed) {
    const bool allowsEmpty = GetParam();
    view.setSelectable(true);
    view.setAllowsEmptySelection(allowsEmpty);
    show(200, 300);
    client.log.clear();
    click(pointIn(2));
    click({100, 55}); // between rows 0 and 1
    EXPECT_EQ(view.selectionIndexPaths(), allowsEmpty ? rowSet({}) : rowSet({2}));
    EXPECT_EQ(client.log, allowsEmpty ? QStringList({"select 0.2", "deselect 0.2"})
                                      : QStringList({"select 0.2"}));
    EXPECT_EQ(view.itemAtIndexPath({0, 2})->isSelected(), !allowsEmpty);
}

INSTANTIATE_TEST_SUITE_P(AllowsEmpty, CollectionViewEmptyClick, testing::Bool());

struct ScrollCase {
    const char* name;
    CollectionView::ScrollPosition position;
    int row;
    int scroll;
    friend void PrintTo(const ScrollCase& c, std::ostream* os) { *os << c.name; }
};

class CollectionViewScrollPosition : public CollectionViewTest,
                                     public testing::WithParamInterface<ScrollCase> {};

TEST_P(CollectionViewScrollPosition, BringsTheSelectedRowWhereAsked) {
    const ScrollCase& c = GetParam();
    show(200, 300);
    view.selectItemsAtIndexPaths(rowSet({c.row}), c.position);
    EXPECT_EQ(scrollY(), c.scroll);
    EXPECT_EQ(view.selectionIndexPaths(), rowSet({c.row}));
}

using Position = CollectionView::ScrollPosition;
INSTANTIATE_TEST_SUITE_P(
    Cases, CollectionViewScrollPosition,
    testing::Values(ScrollCase{"Top", Position::Top, 10, 600},
                    ScrollCase{"Centered", Position::CenteredVertically, 10, 475},
                    ScrollCase{"TopPastTheEnd", Position::Top, 99, 5690},
                    ScrollCase{"CenteredBeforeTheStart", Position::CenteredVertically, 0, 0},
                    ScrollCase{"None", Position::None, 50, 0},
                    ScrollCase{"NearestBelow", Position::Nearest, 10, 350},
                    ScrollCase{"NearestInView", Position::Nearest, 2, 0}),
    CaseName());

struct ReloadCase {
    const char* name;
    int count;
    int selected;
    QSet<IndexPath> selectionAfter;
    int scrollAfter;
    friend void PrintTo(const ReloadCase& c, std::ostream* os) { *os << c.name; }
};

class CollectionViewReload : public CollectionViewTest,
                             public testing::WithParamInterface<ReloadCase> {};

TEST_P(CollectionViewReload, KeepsWhatIsStillValidAndShowsNothingStale) {
    const ReloadCase& c = GetParam();
    show(200, 300);
    view.selectItemsAtIndexPaths({{0, c.selected}}, Position::Top);
    QSignalSpy changes(&view, &CollectionView::selectionChanged);
    client.rows = {FakeCollectionClient::numbered(c.count, "new")};
    view.reloadData();
    EXPECT_EQ(view.numberOfItemsInSection(0), c.count);
    EXPECT_EQ(view.selectionIndexPaths(), c.selectionAfter);
    EXPECT_EQ(changes.count(), c.selectionAfter.isEmpty() ? 1 : 0);
    EXPECT_EQ(scrollY(), c.scrollAfter);
    EXPECT_FALSE(shownRows().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CollectionViewReload,
                         testing::Values(ReloadCase{"Fewer", 30, 80, {}, 1490},
                                         ReloadCase{"FewerStillValid", 50, 5, {{0, 5}}, 300},
                                         ReloadCase{"More", 200, 80, {{0, 80}}, 4800}),
                         CaseName());

TEST_F(CollectionViewTest, DeletedRowsTakeTheirItemsAndSelectionAlong) {
    show(200, 300);
    view.selectItemsAtIndexPaths(rowSet({5}), Position::None);
    client.rows[0].remove(1, 2);
    view.deleteItemsAtIndexPaths(rowSet({1, 2, 500}));
    EXPECT_EQ(view.numberOfItemsInSection(0), 98);
    EXPECT_EQ(view.selectionIndexPaths(), rowSet({3}));
    EXPECT_EQ(shownRows(), range(0, 4)); // rows 3 and 4 now show "r5" and "r6"
    EXPECT_EQ(client.itemRequests, 5 + 2);
    EXPECT_TRUE(view.itemAtIndexPath({0, 3})->isSelected());

    client.rows[0].remove(3);
    view.deleteItemsAtIndexPaths(rowSet({3}));
    EXPECT_TRUE(view.selectionIndexPaths().isEmpty());
}

TEST_F(CollectionViewTest, ReusedItemsTakeTheSelectedLookOfTheirNewRow) {
    show(200, 300);
    view.selectItemsAtIndexPaths(rowSet({0}), Position::None);
    scrollTo(600);
    for (CollectionViewItem* item : view.visibleItems())
        EXPECT_FALSE(item->isSelected()) << item->indexPath().item;
    scrollTo(0);
    for (CollectionViewItem* item : view.visibleItems())
        EXPECT_EQ(item->isSelected(), item->indexPath().item == 0) << item->indexPath().item;
}

struct KeyCase {
    const char* name;
    std::vector<int> sectionSizes;
    std::optional<IndexPath> start;
    Qt::Key key;
    IndexPath expected;
    friend void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }
};

class CollectionViewKeys : public CollectionViewTest,
                           public testing::WithParamInterface<KeyCase> {};

TEST_P(CollectionViewKeys, MoveTheSelectionAndTellTheDelegate) {
    const KeyCase& c = GetParam();
    client.rows.clear();
    for (int size : c.sectionSizes)
        client.rows.push_back(FakeCollectionClient::numbered(size));
    view.setSelectable(true);
    show(200, 300);
    if (c.start)
        view.selectItemsAtIndexPaths({*c.start}, Position::None);
    client.log.clear();
    QTest::keyClick(&view, c.key);
    EXPECT_EQ(view.selectionIndexPaths(), QSet<IndexPath>{c.expected});
    EXPECT_NE(view.itemAtIndexPath(c.expected), nullptr) << "scrolled into view";
    QStringList told;
    if (c.start && *c.start != c.expected)
        told << "deselect " + FakeCollectionClient::describe({*c.start});
    if (c.start != c.expected)
        told << "select " + FakeCollectionClient::describe({c.expected});
    EXPECT_EQ(client.log.filter(QRegularExpression("select")), told);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CollectionViewKeys,
    testing::Values(
        KeyCase{"Down", {100}, IndexPath{0, 3}, Qt::Key_Down, {0, 4}},
        KeyCase{"DownAtTheEnd", {100}, IndexPath{0, 99}, Qt::Key_Down, {0, 99}},
        KeyCase{"DownWithNothingSelected", {100}, std::nullopt, Qt::Key_Down, {0, 0}},
        KeyCase{"Home", {100}, IndexPath{0, 50}, Qt::Key_Home, {0, 0}},
        KeyCase{"End", {100}, IndexPath{0, 50}, Qt::Key_End, {0, 99}},
        KeyCase{"DownOverAnEmptySection", {2, 0, 2}, IndexPath{0, 1}, Qt::Key_Down, {2, 0}},
        KeyCase{"UpOverAnEmptySection", {2, 0, 2}, IndexPath{2, 0}, Qt::Key_Up, {0, 1}},
        KeyCase{"EndInAnotherSection", {2, 0, 2, 0}, IndexPath{0, 0}, Qt::Key_End, {2, 1}}),
    CaseName());

} // namespace
