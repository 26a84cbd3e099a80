#include "platform/CollectionView.h"
#include "platform/CollectionViewDataSource.h"
#include "platform/CollectionViewDelegate.h"
#include "platform/CollectionViewFlowLayout.h"
#include "platform/CollectionViewItem.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using Position = CollectionView::ScrollPosition;

// An item as callers write them, here a label, counting its reuses.
class LabelItem : public CollectionViewItem {
public:
    LabelItem() { setView(label = new QLabel); }
    QLabel* label;
    static inline int reuses = 0;

protected:
    void prepareForReuse() override { ++reuses; }
};

// A shown 200 x 300 collection view whose viewport is the whole view (no frame, no scroll bar
// shown), with no prefetch margin unless a test sets one: 100 rows of 200 x 50, 60 points
// apart, rows 0 to 4 in view. The fixture is its data source and delegate, as a window
// controller would be: rows of text in one section, their sizes, and a log of what it was told.
class CollectionViewTest : public testing::Test,
                           public CollectionViewDataSource,
                           public CollectionViewDelegate {
protected:
    CollectionViewTest() {
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setPrefetchMargin(0);
        view.registerItem("label", [] { return new LabelItem; });
        view.setDelegate(this);
        LabelItem::reuses = 0;
        view.resize(200, 300);
        view.setDataSource(this);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    CollectionViewFlowLayout& layout() { return *view.collectionViewLayout(); }
    void scrollTo(int y) { view.verticalScrollBar()->setValue(y); }
    int scrollY() const { return view.verticalScrollBar()->value(); }

    static QStringList numbered(int count, const QString& prefix = "r") {
        QStringList texts;
        for (int row = 0; row < count; ++row)
            texts << prefix + QString::number(row);
        return texts;
    }
    int numberOfSectionsInCollectionView(CollectionView*) override { return 1; }
    int numberOfItemsInSection(CollectionView*, int) override { return int(rows.size()); }
    CollectionViewItem* itemForRepresentedObjectAtIndexPath(CollectionView*,
                                                            const IndexPath& p) override {
        ++itemRequests;
        auto* item = static_cast<LabelItem*>(view.makeItemWithIdentifier("label", p));
        item->label->setText(rows[p.item]);
        return item;
    }
    QSizeF sizeForItemAtIndexPath(CollectionView*, CollectionViewFlowLayout*,
                                  const IndexPath& p) override {
        ++sizeRequests;
        return size(p);
    }
    void willDisplayItem(CollectionView*, CollectionViewItem* item, const IndexPath& p) override {
        if (!item->view()->isVisible()) // only then is it "about to be shown"
            log << "display " + QString::number(p.item);
    }
    // Tells of one row at a time, as single selection does.
    void didSelectItemsAtIndexPaths(CollectionView*, const QSet<IndexPath>& paths) override {
        for (const IndexPath& p : paths)
            log << "select " + QString::number(p.item);
    }
    void didDeselectItemsAtIndexPaths(CollectionView*, const QSet<IndexPath>& paths) override {
        for (const IndexPath& p : paths)
            log << "deselect " + QString::number(p.item);
    }

    // Checks that the rows from first to last, and no others, are shown, each by a visible item
    // at its row and with its text.
    void expectShownRows(int first, int last) const {
        const std::vector<CollectionViewItem*> items = view.visibleItems();
        ASSERT_EQ(int(items.size()), last - first + 1);
        for (int row = first; CollectionViewItem * item : items) {
            EXPECT_EQ(item->indexPath(), (IndexPath{0, row}));
            EXPECT_TRUE(item->view()->isVisible());
            EXPECT_EQ(item->view()->geometry(), QRect(0, 60 * row - scrollY(), 200, 50));
            EXPECT_EQ(static_cast<LabelItem*>(item)->label->text(), rows[row++]);
        }
        const auto widgets = view.viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        EXPECT_EQ(std::ranges::count_if(widgets, &QWidget::isVisible), last - first + 1);
    }
    void click(const QPoint& viewportPoint) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, viewportPoint);
    }
    QPoint pointIn(int row) const {
        return view.itemAtIndexPath({0, row})->view()->geometry().center();
    }
    void select(int row, Position position = Position::None) {
        view.selectItemsAtIndexPaths({{0, row}}, position);
    }

    QStringList rows = numbered(100);
    std::function<QSizeF(const IndexPath&)> size = [](const IndexPath&) { return QSizeF(200, 50); };
    int itemRequests = 0, sizeRequests = 0;
    QStringList log; // "select 3", "deselect 1", "display 4"
    CollectionView view;
};

TEST_F(CollectionViewTest, OnlyRowsInViewOrInTheMarginHaveWidgets) {
    const struct {
        int scroll;
        qreal margin;
        int first, last;
    } cases[] = {{600, 0, 10, 14}, // the bottom edge touches row 15
                 {630, 0, 10, 15}, // rows cut at both edges
                 {600, 100, 8, 16},
                 {0, 100, 0, 6}};
    for (const auto& [scroll, margin, first, last] : cases) {
        SCOPED_TRACE(testing::Message() << scroll << ", margin " << margin);
        view.setPrefetchMargin(margin);
        scrollTo(scroll);
        expectShownRows(first, last);
    }
}

TEST_F(CollectionViewTest, ScrollingAsksOnlyForArrivingRowsAndReusesItems) {
    select(0);
    scrollTo(60);
    EXPECT_EQ(itemRequests, 6);
    EXPECT_EQ(LabelItem::reuses, 1); // five items made
    EXPECT_EQ(log, QStringList({"display 0", "display 1", "display 2", "display 3", "display 4",
                                "display 5"}));
    for (int y = 60; y <= 5690; y += 35)
        scrollTo(y);
    EXPECT_EQ(itemRequests, 100);
    EXPECT_EQ(LabelItem::reuses, 94); // six items made

    // Reused items take the selected look of their new row.
    for (int y : {600, 0}) {
        scrollTo(y);
        for (CollectionViewItem* item : view.visibleItems())
            EXPECT_EQ(item->isSelected(), item->indexPath().item == 0) << item->indexPath().item;
    }
}

TEST_F(CollectionViewTest, UserSelectionsReachTheDelegateProgramSelectionsDoNot) {
    log.clear();
    QSignalSpy changes(&view, &CollectionView::selectionChanged);
    click(pointIn(1));
    EXPECT_TRUE(view.selectionIndexPaths().isEmpty()) << "not selectable yet";

    view.setSelectable(true);
    click(pointIn(1));
    QLabel* label = static_cast<LabelItem*>(view.itemAtIndexPath({0, 3}))->label;
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    click({100, 55}); // empty space, between rows 0 and 1
    view.setAllowsEmptySelection(false);
    click(pointIn(2));
    click({100, 55});
    EXPECT_EQ(view.selectionIndexPaths(), (QSet<IndexPath>{{0, 2}}));
    EXPECT_EQ(log, QStringList({"select 1", "deselect 1", "select 3", "deselect 3", "select 2"}));

    select(0);
    EXPECT_EQ(log.size(), 5);
    EXPECT_EQ(view.selectionIndexPaths(), (QSet<IndexPath>{{0, 0}}));
    EXPECT_TRUE(view.itemAtIndexPath({0, 0})->isSelected());
    EXPECT_FALSE(view.itemAtIndexPath({0, 2})->isSelected());
    EXPECT_EQ(changes.count(), 5);
}

TEST_F(CollectionViewTest, BringsTheSelectedRowWhereAsked) {
    const struct {
        Position position;
        int row, scroll;
    } cases[] = {
        {Position::Top, 10, 600}, {Position::CenteredVertically, 10, 475}, {Position::None, 50, 0}};
    for (const auto& [position, row, scroll] : cases) {
        scrollTo(0);
        select(row, position);
        EXPECT_EQ(scrollY(), scroll) << "row " << row;
        EXPECT_EQ(view.selectionIndexPaths(), (QSet<IndexPath>{{0, row}}));
    }
}

TEST_F(CollectionViewTest, ReloadDropsRowsThatAreGoneAndShowsNothingStale) {
    select(40, Position::Top);
    QSignalSpy changes(&view, &CollectionView::selectionChanged);
    rows = numbered(30, "new");
    view.reloadData();
    EXPECT_TRUE(view.selectionIndexPaths().isEmpty());
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(scrollY(), 1490); // as far as the new rows allow
    expectShownRows(25, 29);
}

TEST_F(CollectionViewTest, KeysMoveTheSelectionAndTellTheDelegate) {
    view.setSelectable(true);
    const struct {
        int start; // -1: no selection
        Qt::Key key;
        int expected;
    } cases[] = {
        {0, Qt::Key_Down, 1},  {0, Qt::Key_Up, 0},
        {-1, Qt::Key_Down, 0}, {98, Qt::Key_Down, 99}, // scrolling down to it
        {50, Qt::Key_Home, 0},                         // scrolling up to it
    };
    for (const auto& [start, key, expected] : cases) {
        SCOPED_TRACE(testing::Message() << start << " to " << expected);
        view.deselectAll();
        if (start >= 0)
            select(start);
        log.clear();
        QTest::keyClick(&view, key);
        EXPECT_EQ(view.selectionIndexPaths(), (QSet<IndexPath>{{0, expected}}));
        EXPECT_NE(view.itemAtIndexPath({0, expected}), nullptr) << "scrolled into view";
        EXPECT_EQ(log.filter(QRegularExpression("^select")),
                  start == expected ? QStringList()
                                    : QStringList("select " + QString::number(expected)));
    }
}

// Sizes may follow the width, as thumbnails do: they are asked again when the width or the
// layout changes, and only then, which keeps scrolling a long list cheap.
TEST_F(CollectionViewTest, AsksSizesAgainOnlyAfterAChangeOfWidthOrLayout) {
    size = [this](const IndexPath&) { return QSizeF(view.viewport()->width(), 40); };
    view.reloadData();
    sizeRequests = 0;
    for (int y : {3000, 1000, 100})
        scrollTo(y);
    view.resize(200, 400);
    EXPECT_EQ(sizeRequests, 0);

    view.resize(260, 400);
    EXPECT_EQ(view.itemAtIndexPath({0, 2})->view()->width(), 260);
    layout().minimumLineSpacing = 0;
    EXPECT_EQ(layout().layoutAttributesForItemAtIndexPath({0, 1})->frame.top(), 40);
    EXPECT_EQ(sizeRequests, 200); // for the new width and the new spacing
}

} // namespace
