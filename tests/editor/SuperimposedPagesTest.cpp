// Superimposed pages: the batch's pages blended over the current page, so that one crop can be
// chosen for the ink of all of them.

#include "editor/SuperimposedPages.h"
#include "editor/RMPDFImgView.h"
#include "range/RMPageRangeWindowController.h"
#include "tests/editor/MainWindowFixture.h"
#include "tests/support/CaseName.h"

#include <QAction>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>

namespace {

using ::PrintTo;

const QRectF kLetter(0, 0, 612, 792);
const QKeySequence kSuperimposeKey(Qt::CTRL | Qt::SHIFT | Qt::Key_P);

class SuperimposedPagesTest : public MainWindowTest {
protected:
    SuperimposedPages& superimposed() { return window->superimposedPages(); }
    // Batch mode over selection (every page when empty), then the view turned on by its key.
    void superimpose(const QStringList& selection = {}) {
        window->batchCropClickHandler();
        if (!selection.isEmpty()) {
            window->pageRangeClickHandler();
            window->applyPageRangeSettingWithPageArray(selection);
        }
        QTest::keySequence(window.get(), kSuperimposeKey);
    }
    bool waitForPicture() {
        return QTest::qWaitFor(
            [this] {
                return superimposed().isComplete() && !superimposed().picture().isNull() &&
                       ui().pdfImgView->pdfImg().toImage() == superimposed().picture();
            },
            30000);
    }
    // Whether the page view shows colour, give or take by in each channel, at point (the
    // current page's display space, points).
    testing::AssertionResult shows(const QPointF& point, const QColor& colour, int by = 60) {
        const QRectF page = window->session().cropsRect()[size_t(current())].pageRect;
        const QImage view = ui().pdfImgView->grab().toImage();
        const QColor shown =
            view.pixelColor(int(point.x() / page.width() * view.width()),
                            int((page.height() - point.y()) / page.height() * view.height()));
        if (std::abs(shown.red() - colour.red()) < by &&
            std::abs(shown.green() - colour.green()) < by &&
            std::abs(shown.blue() - colour.blue()) < by)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "shows " << shown.name().toStdString();
    }
};

struct SampleCase {
    const char* name;
    int pageCount;
    QStringList selection;
    qint64 currentIndex;
    size_t expected;
};

class SuperimposedSampleTest : public SuperimposedPagesTest,
                               public testing::WithParamInterface<SampleCase> {};

TEST_P(SuperimposedSampleTest, HoldsTheBatchOrAnEvenSpreadOfItWithTheCurrentPage) {
    const SampleCase& c = GetParam();
    open(std::vector<TestPage>(size_t(c.pageCount)));
    window->mainPDFViewJumpWithIndex(c.currentIndex);
    superimpose(c.selection);
    const std::vector<qint64> pages = superimposed().pages();
    std::vector<qint64> batch = window->session().pageRangeArray();
    batch.push_back(c.currentIndex + 1);
    std::sort(batch.begin(), batch.end());
    ASSERT_EQ(pages.size(), c.expected);
    EXPECT_TRUE(std::is_sorted(pages.begin(), pages.end()));
    EXPECT_EQ(std::adjacent_find(pages.begin(), pages.end()), pages.end());
    EXPECT_TRUE(std::includes(batch.begin(), batch.end(), pages.begin(), pages.end()));
    EXPECT_EQ(pages.front(), batch.front());
    EXPECT_EQ(pages.back(), batch.back());
    EXPECT_TRUE(std::binary_search(pages.begin(), pages.end(), c.currentIndex + 1));
    // Evenly spread: no gap in the batch is left much wider than an even step.
    const double step = double(batch.size()) / double(pages.size());
    for (size_t i = 1; i < pages.size(); ++i) {
        const auto gap = std::lower_bound(batch.begin(), batch.end(), pages[i]) -
                         std::lower_bound(batch.begin(), batch.end(), pages[i - 1]);
        EXPECT_LE(gap, 2 * step + 1) << "after page " << pages[i - 1];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Batches, SuperimposedSampleTest,
    testing::Values( // Page 101 falls between two even samples and takes the place of one.
        SampleCase{"currentBetweenSamples", 200, {}, 100, 64},
        // A small batch is drawn whole, with the current page from outside it.
        SampleCase{"smallBatch", 40, {"+ Odd Pages"}, 9, 21}),
    CaseName());

TEST_F(SuperimposedPagesTest, EveryPagesInkShowsAndTheSelectionIsFollowed) {
    // A red and a blue block that overlap in the middle, and a green one on the third page.
    open({blockPage(kLetter, {100, 400, 200, 200}, 0, {}, "1 0 0 rg"),
          blockPage(kLetter, {200, 300, 200, 200}, 0, {}, "0 0 1 rg"),
          blockPage(kLetter, {400, 100, 100, 100}, 0, {}, "0 1 0 rg")});
    superimpose({"1 - 2"});
    ASSERT_TRUE(waitForPicture());
    EXPECT_EQ(superimposed().pages(), (std::vector<qint64>{1, 2}));
    EXPECT_TRUE(shows({150, 550}, Qt::red));
    EXPECT_TRUE(shows({350, 350}, Qt::blue));
    // Where both have ink neither hides the other: red and blue give black, not one colour.
    EXPECT_TRUE(shows({250, 450}, Qt::black));
    EXPECT_TRUE(shows({450, 150}, Qt::white, 10));

    window->applyPageRangeSettingWithPageArray({"+ All Pages"});
    ASSERT_TRUE(waitForPicture());
    EXPECT_EQ(superimposed().pages(), (std::vector<qint64>{1, 2, 3}));
    EXPECT_TRUE(shows({450, 150}, Qt::green));
}

struct PlacementCase {
    const char* name;
    // The second page, placed over a letter page.
    QRectF media;
    int rotate;
    QRectF block;
    // Where its block shows, and a point just off the page, in the letter page's display
    // space; none when the page covers the whole letter page.
    QPointF inBlock;
    std::optional<QPointF> offPage;
};

class SuperimposedPlacementTest : public SuperimposedPagesTest,
                                  public testing::WithParamInterface<PlacementCase> {};

TEST_P(SuperimposedPlacementTest, PagesOfOtherSizesMeetAtTheTopLeftAtOneScale) {
    const PlacementCase& c = GetParam();
    open({TestPage{}, blockPage(c.media, c.block, c.rotate, {}, "0 0 1 rg")});
    superimpose();
    ASSERT_TRUE(waitForPicture());
    EXPECT_TRUE(shows(c.inBlock, Qt::blue));
    if (c.offPage) {
        EXPECT_TRUE(shows(*c.offPage, Qt::white, 10));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SuperimposedPlacementTest,
    testing::Values(
        // Filled whole: its bottom-right corner lies 300 and 400 points from the top-left.
        PlacementCase{"smaller", {0, 0, 300, 400}, 0, {0, 0, 300, 400}, {290, 402}, {{310, 600}}},
        // Its top-left 100 points; the rest reaches past the letter page and is left out.
        PlacementCase{"larger", {0, 0, 1224, 1584}, 0, {0, 1484, 100, 100}, {50, 742}, {}},
        // Turned a quarter clockwise, the corner at its page-space origin is its top-left.
        PlacementCase{"turned", {0, 0, 1000, 500}, 90, {0, 0, 60, 60}, {30, 762}, {}},
        PlacementCase{
            "offsetBox", {-200, 100, 300, 400}, 0, {-200, 460, 40, 40}, {20, 772}, {{310, 600}}}),
    CaseName());

struct TurnOff {
    const char* name;
    void (*turnOff)(RMMainWindowController&);
};

class SuperimposedTurnOffTest : public SuperimposedPagesTest,
                                public testing::WithParamInterface<TurnOff> {};

// Offered in batch mode only, by its key and its button, which carries the key's action; off,
// the current page comes back.
TEST_P(SuperimposedTurnOffTest, TurningItOffGivesTheCurrentPageBack) {
    open({blockPage(kLetter, {100, 400, 200, 200}, 0, {}, "1 0 0 rg"),
          blockPage(kLetter, {300, 100, 200, 200}, 0, {}, "0 0 1 rg")});
    const QList<QAction*> actions = window->viewActions();
    const auto found = std::find_if(actions.begin(), actions.end(),
                                    [](QAction* a) { return a->text() == "Superimpose Pages"; });
    ASSERT_NE(found, actions.end());
    QAction* action = *found;
    EXPECT_FALSE(action->isEnabled());
    EXPECT_EQ(ui().superimposeBtn->defaultAction(), action);
    superimpose();
    EXPECT_TRUE(ui().superimposeBtn->isChecked());
    ASSERT_TRUE(waitForPicture());
    ASSERT_TRUE(shows({400, 200}, Qt::blue));
    GetParam().turnOff(*window);
    EXPECT_FALSE(action->isChecked());
    EXPECT_EQ(action->isEnabled(), window->session().isBatchCrop());
    QTRY_VERIFY_WITH_TIMEOUT(shows({200, 500}, Qt::red), 30000);
    EXPECT_TRUE(shows({400, 200}, Qt::white, 10));
    EXPECT_TRUE(ui().fitStatus->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, SuperimposedTurnOffTest,
    testing::Values(
        TurnOff{"key", [](RMMainWindowController& w) { QTest::keySequence(&w, kSuperimposeKey); }},
        TurnOff{"customCrop", [](RMMainWindowController& w) { w.pageCropClickHandler(); }}),
    CaseName());

// Pages that come in while the marker is dragged neither move it nor end the drag.
TEST_F(SuperimposedPagesTest, ADragWhileThePagesComeInEndsInOneCropOfTheBatch) {
    std::vector<TestPage> pages;
    for (int i = 0; i < 40; ++i)
        pages.push_back(blockPage(kLetter, {double(10 * i), 300, 20, 20}));
    pages[5].mediaBox = QRectF(0, 0, 612, 1008);
    open(pages);
    superimpose();
    ASSERT_FALSE(superimposed().isComplete());
    const QString none = "Superimposing: 0 of 40 pages";
    EXPECT_EQ(ui().fitStatus->text(), none);
    const int before = steps();
    QRectF dragged;
    dragOnPage(viewAt(1, 1) - QPointF(1, 1), viewAt(1, 1) - QPointF(81, 81), [&] {
        dragged = ui().pdfImgView->cropMarker().selectedRect();
        EXPECT_TRUE(QTest::qWaitFor([&] { return ui().fitStatus->text() != none; }, 30000));
    });
    ASSERT_TRUE(waitForPicture());
    EXPECT_TRUE(ui().fitStatus->text().isEmpty());
    EXPECT_EQ(steps(), before + 1);
    EXPECT_EQ(ui().pdfImgView->cropMarker().selectedRect(), dragged);
    EXPECT_LT(crop(0).width(), 612);
    EXPECT_EQ(crop(39), crop(0));
    EXPECT_NE(crop(5), crop(0));
}

} // namespace
