// The editing window on each screen CTest runs this file with (see CMakeLists.txt): a crop
// dragged to the page's edges saves exactly those edges, whatever size the page is shown at.

#include "tests/editor/MainWindowFixture.h"
#include "tests/support/CaseName.h"

#include <QScreen>

namespace {

using ::PrintTo;

enum Edge { Left = 1, Bottom = 2, Right = 4, Top = 8 };

struct EdgeCase {
    const char* name;
    QSizeF page;
    int rotation;
    // The marker's corner dragged out past the page: the top-right one (handle 8) or the
    // bottom-left one (handle 1).
    bool topRight;
    // The page-space edges of the saved boxes that must lie on the page's own edges.
    int edges;
};

class WindowFitTest : public MainWindowTest, public testing::WithParamInterface<EdgeCase> {};

// A window opens inside the screen, a second one clear of the first; the page fills a maximised
// window.
TEST_F(MainWindowTest, WindowsOpenInsideTheScreenAndThePageFillsAMaximisedWindow) {
    open(2);
    const QRect available = window->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(window->frameGeometry())) << "window off screen";
    QWidget* done = ui().saveBtn;
    EXPECT_TRUE(available.contains(QRect(done->mapToGlobal(QPoint()), done->size())));
    EXPECT_GE(done->height(), done->sizeHint().height()) << "squeezed";
    RMMainWindowController second(QpdfLoader().open(delegate.path).document, &delegate, workplace);
    second.show();
    EXPECT_TRUE(available.contains(second.frameGeometry()));
    EXPECT_NE(second.pos(), window->pos()) << "exactly over the first";

    const int smallHeight = ui().pdfImgView->height();
    window->setGeometry(available);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui().pdfImgView->height(), ui().pageSquare->height()) << "a portrait page fills";
    EXPECT_GE(ui().pdfImgView->height(), smallHeight);
}

TEST_P(WindowFitTest, ACropDraggedPastTheEdgesSavesThePagesEdgesExactly) {
    const EdgeCase& c = GetParam();
    const QRectF media(QPointF(0, 0), c.page);
    open({{.mediaBox = media, .rotate = c.rotation}});
    const double w = ui().pdfImgView->width(), h = ui().pdfImgView->height();
    // Both corners in, then one far out again: two edges on the page's edges, two inside.
    dragOnPage({w, h}, {w * 0.7, h * 0.8});
    dragOnPage({0, 0}, {w * 0.2, h * 0.1});
    if (c.topRight)
        dragOnPage({w * 0.7, h * 0.8}, {w + 40, h + 40});
    else
        dragOnPage({w * 0.2, h * 0.1}, {-40, -40});

    // Not applied with "Done": the save applies them.
    const QString target = dir.filePath("saved.pdf");
    ASSERT_EQ(saveTo(target), "");
    auto saved = QpdfLoader().open(target);
    ASSERT_TRUE(saved.ok());
    for (PdfBox box : {PdfBox::Media, PdfBox::Crop, PdfBox::Trim}) {
        const QRectF r = saved.document->boundsForBox(0, box);
        const double found[] = {r.left(), r.top(), r.right(), r.bottom()};
        const double page[] = {media.left(), media.top(), media.right(), media.bottom()};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(found[i] == page[i], bool(c.edges & (1 << i))) << "edge " << i;
        EXPECT_TRUE(media.contains(r));
    }
}

// QRectF's top() is the smaller y: the page's bottom edge in its unflipped space.
INSTANTIATE_TEST_SUITE_P(
    Pages, WindowFitTest,
    testing::Values(EdgeCase{"letterTopRight", {612, 792}, 0, true, Right | Top},
                    EdgeCase{"letterBottomLeft", {612, 792}, 0, false, Left | Bottom},
                    EdgeCase{"letterTurnedTopRight", {612, 792}, 90, true, Left | Top},
                    EdgeCase{"letterTurnedBottomLeft", {612, 792}, 90, false, Right | Bottom},
                    EdgeCase{"largeTurnedTopRight", {2592, 3456}, 90, true, Left | Top}),
    CaseName());

} // namespace
