// Fitting scanned pages to their ink: nothing that a 300 dpi picture of the page shows as ink
// lies outside the bounds, though the small picture the ink is first looked for on shows too
// little of a thin tail to count it; and a speck of dust beyond the ink moves no edge.

#include "render/MupdfRasterizer.h"
#include "render/ProcessRasterizer.h"
#include "tests/support/CaseName.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <memory>

namespace {

using ::PrintTo;

const QRectF kLetter(0, 0, 612, 792);
// The scan's pixels, at 300 dpi, and where the small picture's pixels (247 x 320) end.
const QSize kScanPixels(2550, 3300);
constexpr double kCoarseColumn = 2550.0 / 247, kCoarseRow = 3300.0 / 320;
constexpr double kPixelsPerPoint = 300.0 / 72;
const ContentBoundsOptions kOptions;

enum class Tail { Left, Top, Right, Bottom, None };

struct ScanCase {
    const char* name;
    // The side a page number reaches past a line of the small picture's pixel grid by a thin
    // tail, under a point.
    Tail tail;
    bool lossless = false;
    bool inRenderHost = false;
    // A speck of dust of a few pixels beyond the bottom of the ink.
    bool speck = false;
    // Something drawn over the scan besides (a white square in a corner), so that its edges are
    // found on drawings of the page rather than on the picture decoded.
    bool overdrawn = false;
};

// Page-space bounds of the scan's pixels in pixels.
QRectF pageRectOf(const QRect& pixels) {
    return QRectF(
        QPointF(pixels.left(), kScanPixels.height() - pixels.bottom() - 1) / kPixelsPerPoint,
        QPointF(pixels.right() + 1, kScanPixels.height() - pixels.top()) / kPixelsPerPoint);
}

// A block of text, and a mark with a tail 3 pixels wide that crosses a line of the small
// picture's grid by 3 pixels (0.72 pt), its body just inside the line. The lines chosen lie
// where pixels of the eighth-size picture MuPDF decodes first end too, so that none of them
// holds both tail and body.
QImage scanWith(const ScanCase& c) {
    QImage scan(kScanPixels, QImage::Format_Grayscale8);
    scan.fill(Qt::white);
    QPainter painter(&scan);
    painter.fillRect(QRect(QPoint(600, 1400), QPoint(1949, 2499)), Qt::black);
    const int column = int(std::ceil(31 * kCoarseColumn)), row = int(std::ceil(291 * kCoarseRow));
    const int right = int(std::floor(200 * kCoarseColumn)), top = int(std::ceil(38 * kCoarseRow));
    switch (c.tail) {
    case Tail::Left:
        painter.fillRect(QRect(column, 1500, 40, 40), Qt::black);
        painter.fillRect(QRect(column - 3, 1518, 3, 3), Qt::black);
        break;
    case Tail::Right:
        painter.fillRect(QRect(right - 40, 1500, 40, 40), Qt::black);
        painter.fillRect(QRect(right, 1518, 3, 3), Qt::black);
        break;
    case Tail::Top:
        painter.fillRect(QRect(1200, top, 40, 40), Qt::black);
        painter.fillRect(QRect(1218, top - 3, 3, 3), Qt::black);
        break;
    case Tail::Bottom:
        painter.fillRect(QRect(1200, row - 40, 40, 40), Qt::black);
        painter.fillRect(QRect(1218, row, 3, 3), Qt::black);
        break;
    case Tail::None:
        break;
    }
    if (c.speck)
        painter.fillRect(QRect(1000, 2512, 2, 2), Qt::black);
    return scan;
}

std::unique_ptr<PageContentMeasurer> measurerOf(const QByteArray& pdf, bool inRenderHost) {
    PdfRenderSource source{PdfSourceData::fromBytes(pdf), {}};
    if (inRenderHost)
        return std::make_unique<ProcessRasterizer>(std::move(source), CROPMARK_RENDER_HOST);
    return std::make_unique<MupdfRasterizer>(std::move(source));
}

class ScanFitTest : public testing::TestWithParam<ScanCase> {};

TEST_P(ScanFitTest, KeepsEveryPixelOfInkAndLittleMore) {
    const ScanCase& c = GetParam();
    const QByteArray pdf = TestPdfBuilder()
                               .addPage({.content = c.overdrawn ? "1 1 1 rg 0 0 2 2 re f" : "",
                                         .scanPicture = scanWith(c),
                                         .losslessScan = c.lossless})
                               .bytes();
    const auto bounds = measurerOf(pdf, c.inRenderHost)->contentBounds(0, kOptions);
    ASSERT_TRUE(bounds);

    // The ink as the page is drawn at 300 dpi, dust and all.
    MupdfRasterizer drawn(PdfRenderSource{PdfSourceData::fromBytes(pdf), {}});
    const QImage page = drawn.render({0, kLetter, 0, kScanPixels, 1}, {})
                            .image.convertToFormat(QImage::Format_Grayscale8);
    ASSERT_EQ(page.size(), kScanPixels);
    QRect ink;
    int cut = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (page.constScanLine(y)[x] > kOptions.inkThreshold)
                continue;
            const QRectF pixel = pageRectOf(QRect(x, y, 1, 1)).adjusted(1e-9, 1e-9, -1e-9, -1e-9);
            if (c.speck && y > 2505) {
                EXPECT_FALSE(bounds->intersects(pixel)) << "the speck at " << x << ", " << y;
                continue;
            }
            ink |= QRect(x, y, 1, 1);
            if (!bounds->contains(pixel) && cut++ == 0)
                ADD_FAILURE() << "ink at " << x << ", " << y << " is cut";
        }
    }
    EXPECT_EQ(cut, 0);
    EXPECT_TRUE(pageRectOf(ink).adjusted(-2, -2, 2, 2).contains(*bounds))
        << bounds->x() << ", " << bounds->y() << ", " << bounds->width() << " x "
        << bounds->height();
}

const ScanCase kScans[] = {
    {"TailLeft", Tail::Left},
    {"TailTop", Tail::Top},
    {"TailRight", Tail::Right},
    {"TailBottom", Tail::Bottom},
    {"TailLeftLossless", Tail::Left, true},
    {"TailTopLossless", Tail::Top, true},
    {"TailRightLossless", Tail::Right, true},
    {"TailBottomLossless", Tail::Bottom, true},
    {"TailBottomInTheRenderHost", Tail::Bottom, false, true},
    {"TailLeftLosslessInTheRenderHost", Tail::Left, true, true},
    {"Speck", Tail::None, false, false, true},
    {"SpeckLossless", Tail::None, true, false, true},
    {"TailBottomOverdrawn", Tail::Bottom, false, false, false, true},
    {"TailRightLosslessOverdrawn", Tail::Right, true, false, false, true},
};

INSTANTIATE_TEST_SUITE_P(Scans, ScanFitTest, testing::ValuesIn(kScans), CaseName());

} // namespace
