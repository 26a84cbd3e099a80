#include "render/MupdfRasterizer.h"

#include "tests/support/CaseName.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <iterator>
#include <limits>
#include <string>

namespace {

using ::PrintTo;

// Pixels per point across and down the pictures of these tests, unequal to catch a mix-up: a
// 100 pt square shows as 50 x 25 pixels, whichever way the page is turned.
const QSizeF kScale(0.5, 0.25);
const QSize kSquarePixels(50, 25);
constexpr qreal kDevicePixelRatio = 2;

const QRectF kLetter(0, 0, 612, 792);

MupdfRasterizer rasterizerFor(const QByteArray& pdf) {
    return MupdfRasterizer(PdfRenderSource{PdfSourceData::fromBytes(pdf), {}});
}

// A page with a 100 pt black square whose lower-left corner is at corner, then changed.
TestPage squarePage(QPointF corner = {}, void (*change)(TestPage&) = {}) {
    TestPage page;
    page.content =
        QString("0 0 0 rg %1 %2 100 100 re f").arg(corner.x()).arg(corner.y()).toLatin1();
    if (change)
        change(page);
    return page;
}

// MuPDF clips a transparency group to the page's crop box unless told otherwise.
void makeTransparentWithSmallCropBox(TestPage& page) {
    page.cropBox = QRectF(150, 150, 300, 300);
    page.transparencyGroup = true;
}

// At kScale.
PageRenderRequest requestFor(const QRectF& box, int rotation, int page = 0) {
    const QSizeF shown =
        rotation % 180 ? box.normalized().size().transposed() : box.normalized().size();
    return {page, box, rotation,
            QSizeF(shown.width() * kScale.width(), shown.height() * kScale.height()).toSize(),
            kDevicePixelRatio};
}

// Where the box's lower-left square shows in image once turned by rotation.
QRect squareTurnedBy(int rotation, const QImage& image) {
    const bool left = rotation == 0 || rotation == 90, top = rotation == 90 || rotation == 180;
    return {QPoint(left ? 0 : image.width() - kSquarePixels.width(),
                   top ? 0 : image.height() - kSquarePixels.height()),
            kSquarePixels};
}

// Checks that image is dark inside dark and white elsewhere, but for the anti-aliased pixels
// within 3 of dark's edges; an empty dark asks for a blank image.
testing::AssertionResult showsOnly(const QImage& image, const QRect& dark) {
    if (image.isNull())
        return testing::AssertionFailure() << "the image is null";
    const QMargins edge = dark.isEmpty() ? QMargins() : QMargins(3, 3, 3, 3);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (dark.marginsRemoved(edge).contains(x, y)
                    ? grey >= 64
                    : (grey <= 240 && !dark.marginsAdded(edge).contains(x, y)))
                return testing::AssertionFailure() << "grey " << grey << " at " << x << ", " << y;
        }
    }
    return testing::AssertionSuccess();
}

// Pages with the square at the lower-left corner of the box to show.
const struct SquarePage {
    const char* name;
    QRectF box;
    void (*change)(TestPage&);
} kSquarePages[] = {
    {"LetterPage", kLetter, nullptr},
    {"OffsetOrigin",
     {200, 300, 300, 400},
     [](TestPage& page) { page.mediaBox = QRectF(200, 300, 300, 400); }},
    // The page's own rotation and crop box must not change what the request asks for.
    {"OwnRotationAndCropBox",
     {50, 50, 350, 450},
     [](TestPage& page) { page.cropBox = QRectF(50, 50, 350, 450), page.rotate = 90; }},
    {"SubBox", {50, 50, 200, 300}, nullptr},
    {"CornersInEitherOrder", {200, 200, -200, -200}, nullptr},
    // More than the crop box, as when a larger crop is being chosen.
    {"TransparentBeyondCropBox", kLetter, makeTransparentWithSmallCropBox},
    {"Annotation", kLetter,
     [](TestPage& page) {
         page.content.clear(), page.blackSquareAnnotation = QRectF(0, 0, 100, 100);
     }},
};

class SquarePageTest : public testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(SquarePageTest, ShowsTheSquareInTheTurnedCornerAndWhiteElsewhere) {
    const auto [index, rotation] = GetParam();
    const auto [name, box, change] = kSquarePages[index];
    const TestPage page = squarePage(box.normalized().topLeft(), change);
    // The second page, after a blank one: the page asked for is the one drawn.
    const PageRenderRequest request = requestFor(box, rotation, 1);

    const PageRenderResult result =
        rasterizerFor(TestPdfBuilder().addPage({}).addPage(page).bytes()).render(request, {});

    EXPECT_EQ(result.image.size(), request.pixelSize) << result.error.toStdString();
    EXPECT_EQ(result.image.devicePixelRatio(), kDevicePixelRatio);
    EXPECT_TRUE(showsOnly(result.image, squareTurnedBy(rotation, result.image)));
}

INSTANTIATE_TEST_SUITE_P(Pages, SquarePageTest,
                         testing::Combine(testing::Range(0, int(std::size(kSquarePages))),
                                          testing::Values(0, 90, 180, 270)),
                         [](const auto& test) {
                             return kSquarePages[std::get<0>(test.param)].name +
                                    ("_" + std::to_string(std::get<1>(test.param)));
                         });

// Drawing a box beyond the crop box changes MuPDF's copy of the page, and every so many
// renders MuPDF drops the objects it parsed; neither may change a later picture.
TEST(MupdfRasterizerTest, DrawsEachBoxIndependentlyOfTheOnesBefore) {
    MupdfRasterizer rasterizer =
        rasterizerFor(TestPdfBuilder()
                          .addPage(squarePage())
                          .addPage(squarePage({}, makeTransparentWithSmallCropBox))
                          .bytes());

    for (int round = 0; round < 50; ++round) {
        const int page = round % 2;
        EXPECT_TRUE(showsOnly(
            rasterizer.render(requestFor(QRectF(200, 200, 100, 100), 90, page), {}).image, {}))
            << round;
        const QImage whole = rasterizer.render(requestFor(kLetter, 0, page), {}).image;
        EXPECT_TRUE(showsOnly(whole, squareTurnedBy(0, whole))) << round;
    }
}

// What cannot be drawn is answered with a message, never a crash; a render asked to stop says
// so instead. (Locked files are drawn with their passwords where saved files are checked.)
TEST(MupdfRasterizerTest, AnswersWhatItCannotDrawWithAMessage) {
    const qreal nan = std::numeric_limits<qreal>::quiet_NaN();
    const QSize size(61, 79);
    // A page past the last, a box, a turn, a size and a pixel ratio that cannot be drawn.
    const PageRenderRequest requests[] = {
        {1, kLetter, 0, size, 1},  {0, QRectF(nan, 0, 612, 792), 0, size, 1},
        {0, kLetter, 45, size, 1}, {0, kLetter, 0, QSize(100000, 100000), 1},
        {0, kLetter, 0, size, 0},
    };
    MupdfRasterizer rasterizer = rasterizerFor(TestPdfBuilder().addPage(squarePage()).bytes());
    for (const PageRenderRequest& request : requests) {
        const PageRenderResult result = rasterizer.render(request, {});
        EXPECT_TRUE(result.image.isNull() && !result.error.isEmpty())
            << "request " << &request - requests;
    }

    // Bad bytes: none, not a PDF, corrupted, which opens but fails to draw, and headers alone,
    // whose repair reads to the end and steps back past it; and a locked file with a password
    // that does not unlock it.
    QByteArray corrupted = TestPdfBuilder().addPage(squarePage()).bytes();
    for (qsizetype i = corrupted.size() / 4; i < corrupted.size(); i += 7)
        corrupted[i] = char(corrupted[i] ^ 0x5a);
    const QByteArray headersAlone[] = {QByteArray("%PDF-1.o"), QByteArray("%PDF-.7\n")};
    for (const QByteArray& bytes : {QByteArray(), QByteArray("not a PDF file\n"), corrupted,
                                    headersAlone[0], headersAlone[1]}) {
        const PageRenderResult result = rasterizerFor(bytes).render(requestFor(kLetter, 0), {});
        EXPECT_NE(result.image.isNull(), result.error.isEmpty()) << bytes.left(20).toStdString();
    }
    const QByteArray locked =
        TestPdfBuilder().addPage(squarePage()).encrypt("user", "owner").bytes();
    MupdfRasterizer wrong({PdfSourceData::fromBytes(locked), "wrong"});
    EXPECT_EQ(wrong.pageCount(), 0);
    const PageRenderResult unlocked = wrong.render(requestFor(kLetter, 0), {});
    EXPECT_TRUE(unlocked.image.isNull() && !unlocked.error.isEmpty());

    std::stop_source stop;
    stop.request_stop();
    const PageRenderResult stopped = rasterizer.render(requestFor(kLetter, 0), stop.get_token());
    EXPECT_TRUE(stopped.cancelled && stopped.image.isNull() && stopped.error.isEmpty());
}

// Another program cutting the file short while it is open, before MuPDF read it or after: every
// page is drawn from what is left or refused with a message, and the program goes on.
TEST(MupdfRasterizerTest, DrawsOnFromAFileCutShortWhileOpen) {
    QTemporaryDir dir;
    const auto padded = [](TestPage& page) { page.content += QByteArray(400, ' '); };
    const QString path =
        TestPdfBuilder().addPages(40, squarePage({}, padded)).writeTo(dir.filePath("in.pdf"));
    const auto data = PdfSourceData::mapFile(path, nullptr);
    MupdfRasterizer openedBefore(PdfRenderSource{data, {}});
    QFile(path).resize(data->size() / 2);
    MupdfRasterizer openedAfter(PdfRenderSource{data, {}});
    for (int i = 0; i < 80; ++i) {
        const PageRenderResult result =
            (i < 40 ? openedBefore : openedAfter).render(requestFor(kLetter, 0, i % 40), {});
        EXPECT_NE(result.image.isNull(), result.error.isEmpty()) << i;
    }
    EXPECT_TRUE(data->changedOnDisk());
}

// A scan-like page: white paper painted over the whole page, a dark frame along its edges in
// the border's colour, specks of dust, and a block of text-like ink.
QByteArray scan(const char* border) {
    return QByteArray("1 g 0 0 612 792 re f ") + border +
           " 0 0 612 12 re f 0 780 612 12 re f 0 0 12 792 re f 600 0 12 792 re f "
           "0.2 g 300 60 1 1 re f 80 700 1 1 re f 0 g 150 200 300 400 re f";
}

// A page whose description has errors is drawn as far as it can be read, and its picture
// says so; a sound page's picture says nothing.
struct PartlyReadCase {
    const char* name;
    QByteArray content;
    bool partlyRead;
    // The compressed content stream's bytes are damaged in the middle.
    bool damagedStream = false;
};

class PartlyReadPageTest : public testing::TestWithParam<PartlyReadCase> {};

TEST_P(PartlyReadPageTest, IsMarkedOnlyWhenItsContentHasErrors) {
    TestPage page;
    page.content = GetParam().content;
    QByteArray pdf = TestPdfBuilder().addPage(page).bytes();
    if (GetParam().damagedStream) {
        const qsizetype data = pdf.indexOf("stream\n") + 7;
        ASSERT_GT(data, 7);
        pdf.replace(data + 6, 12, QByteArray(12, 'x'));
    }
    MupdfRasterizer rasterizer = rasterizerFor(pdf);
    const PageRenderResult result = rasterizer.render(requestFor(kLetter, 0), {});
    ASSERT_FALSE(result.image.isNull()) << result.error.toStdString();
    EXPECT_EQ(!result.image.text(PageRenderResult::kPartlyReadKey).isEmpty(), GetParam().partlyRead)
        << result.image.text(PageRenderResult::kPartlyReadKey).toStdString();
}

const PartlyReadCase kPartlyRead[] = {
    {"Sound", "0 0 1 rg 10 10 100 100 re f BT /F1 12 Tf 20 20 Td (Text) Tj ET", false},
    {"Empty", "", false},
    {"UnknownOperator", "0 0 1 rg 10 10 100 100 re f 1 2 3 zork", true},
    {"MissingImage", "q 100 0 0 100 0 0 cm /Missing Do Q", true},
    {"BrokenSyntax", "0 0 1 rg 10 10 100 100 re f [ (unclosed >> re f", true},
    // Drawn in a font that stands in for it: nothing is missing.
    {"MissingFont", "BT /F9 12 Tf 20 20 Td (Text) Tj ET", false},
    {"DamagedCompression", QByteArray("0 0 1 rg 10 10 100 100 re f ").repeated(40), true, true},
};
INSTANTIATE_TEST_SUITE_P(Pages, PartlyReadPageTest, testing::ValuesIn(kPartlyRead), CaseName());

struct BoundsCase {
    const char* name;
    QByteArray content;
    // The bounds hold inner and lie within outer.
    QRectF inner, outer;
    int rotation = 0;
    ContentBoundsOptions::Mode mode = ContentBoundsOptions::Mode::Automatic;
    // Where to look, as for a part of the page: the media box when empty.
    QRectF within = {};
};

class ContentBoundsTest : public testing::TestWithParam<BoundsCase> {};

// Where a page's content is: as drawn, clipped to the media box and independent of rotation;
// and, for a page whose drawing covers it whole, as ink, ignoring dust and a dark border. (The
// render host measures as here: the command line's fits measure there.)
TEST_P(ContentBoundsTest, HoldWhatShowsAndLittleMore) {
    const BoundsCase& c = GetParam();
    const auto bounds =
        rasterizerFor(
            TestPdfBuilder().addPage({.rotate = c.rotation, .content = c.content}).bytes())
            .contentBounds(0, {.mode = c.mode, .within = c.within});
    ASSERT_TRUE(bounds);
    const auto said = testing::Message() << bounds->x() << ", " << bounds->y() << ", "
                                         << bounds->width() << " x " << bounds->height();
    EXPECT_TRUE(bounds->contains(c.inner)) << said;
    EXPECT_TRUE(c.outer.contains(*bounds)) << said;
}

QRectF grown(const QRectF& rect, double by) {
    return rect.adjusted(-by, -by, by, by);
}

// As drawn, bounds are exact.
BoundsCase drawn(const char* name, const QByteArray& content, int rotation, const QRectF& bounds) {
    return {name,
            content,
            grown(bounds, -1e-9),
            grown(bounds, 1e-9),
            rotation,
            ContentBoundsOptions::Mode::Drawn};
}

// Found by ink, bounds are exact to the small picture's pixel, about 2.5 points.
const QRectF kWhite(200, 300, 100, 20), kScanInk(150, 200, 300, 400);

const BoundsCase kBounds[] = {
    drawn("Rectangle", "0 g 100 150 200 50 re f", 0, QRectF(100, 150, 200, 50)),
    drawn("OnATurnedPage", "0 g 100 150 200 50 re f", 90, QRectF(100, 150, 200, 50)),
    drawn("TwoRectangles", "0 g 10 20 30 40 re f 0 g 500 700 12 13 re f", 180,
          QRectF(10, 20, 502, 693)),
    drawn("PastTheMediaBox", "0 g -50 -50 200 200 re f", 0, QRectF(0, 0, 150, 150)),
    // An image: the unit square its matrix maps.
    drawn("Image", "q 100 0 0 50 200 300 cm BI /W 2 /H 2 /CS /G /BPC 8 /F /AHx ID 00FF00FF> EI Q",
          270, QRectF(200, 300, 100, 50)),
    // As drawn, the white paper counts.
    drawn("Scan", scan("0 g"), 0, QRectF(0, 0, 612, 792)),
    // The whole stroke, at most the allowance for a mitred corner (half the width times the
    // miter limit) beyond it.
    {"ThinRuleAtThePageFoot", "0 G 0.5 w 72 36 m 540 36 l S", QRectF(72, 35.75, 468, 0.5),
     grown(QRectF(72, 35.75, 468, 0.5), 5)},
    // Glyphs' boxes: from the baseline's start to past its last letter, and from below the
    // baseline to the font's height above it.
    {"Text", "BT /F1 20 Tf 100 700 Td (Page 12) Tj ET", {102, 700, 58, 12}, {98, 690, 92, 32}},
    // Paper painted white shows nothing: what shows on it does.
    {"PaintedWhite", "1 g 0 0 612 792 re f 0 g 200 300 100 20 re f", grown(kWhite, -3),
     grown(kWhite, 3)},
    {"ScanWithABlackBorder", scan("0 g"), grown(kScanInk, -3), grown(kScanInk, 3)},
    {"ScanWithAGreyBorder", scan("0.5 g"), grown(kScanInk, -3), grown(kScanInk, 3)},
    // Within a part of the page: as drawn, what lies in it and what crosses into it as far as
    // it reaches; as ink, what lies in it, while ink reaching in across its edge (a book's
    // spine) counts no more than a scanner's border at the page's edge does.
    {"DrawnWithinAPart", "0 g 50 100 200 300 re f 400 200 100 100 re f 250 500 112 50 re f",
     grown(QRectF(50, 100, 256, 450), -1e-9), grown(QRectF(50, 100, 256, 450), 1e-9), 0,
     ContentBoundsOptions::Mode::Drawn, QRectF(0, 0, 306, 792)},
    {"InkWithinAPart", "1 g 0 0 612 792 re f 0 g 400 200 100 100 re f 250 500 112 50 re f",
     grown(QRectF(400, 200, 100, 100), -3), grown(QRectF(400, 200, 100, 100), 3), 0,
     ContentBoundsOptions::Mode::Automatic, QRectF(306, 0, 306, 792)},
    {"ScanWithinAPart", scan("0 g"), grown(kScanInk, -3), grown(kScanInk, 3), 0,
     ContentBoundsOptions::Mode::Automatic, QRectF(100, 100, 400, 600)},
};

INSTANTIATE_TEST_SUITE_P(Pages, ContentBoundsTest, testing::ValuesIn(kBounds), CaseName());

} // namespace
