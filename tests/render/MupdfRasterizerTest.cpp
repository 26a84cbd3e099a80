#include "render/MupdfRasterizer.h"
#include "crop/QpdfLoader.h"

#include "tests/render/PixelAssertions.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <limits>
#include <ostream>
#include <string>

namespace {

// Pixels per point in these tests: a 100 pt square shows as 50 pixels.
constexpr qreal kScale = 0.5;
constexpr int kSquarePixels = 50;

const QByteArray kSquareAtOrigin = "0 0 0 rg 0 0 100 100 re f";

MupdfRasterizer rasterizerFor(const QByteArray& pdf, const QByteArray& password = {}) {
    return MupdfRasterizer(PdfRenderSource{PdfSourceData::fromBytes(pdf), password});
}

TestPage pageDrawing(const QByteArray& content) {
    TestPage page;
    page.content = content;
    return page;
}

QByteArray onePage(const TestPage& page) {
    return TestPdfBuilder().addPage(page).bytes();
}

QByteArray onePageDrawing(const QByteArray& content) {
    return onePage(pageDrawing(content));
}

// Asks for box turned by rotation, at kScale pixels per point.
PageRenderRequest requestFor(const QRectF& box, int rotation) {
    const QSizeF shown = rotation % 180 == 0 ? box.size() : box.size().transposed();
    return {0, box, rotation, (shown * kScale).toSize(), 1.0};
}

// Where the lower-left corner of the page shows once the page is turned clockwise.
Corner lowerLeftCornerTurnedBy(int rotation) {
    switch (rotation) {
    case 90:
        return Corner::TopLeft;
    case 180:
        return Corner::TopRight;
    case 270:
        return Corner::BottomRight;
    default:
        return Corner::BottomLeft;
    }
}

// A page with a 100 pt black square at the lower-left corner of the box to show.
struct SquarePage {
    std::string name;
    QByteArray pdf;
    QRectF box;
};

SquarePage letterPage() {
    return {"LetterPage", onePageDrawing(kSquareAtOrigin), QRectF(0, 0, 612, 792)};
}

SquarePage pageWithOffsetOrigin() {
    TestPage page = pageDrawing("0 0 0 rg 200 300 100 100 re f");
    page.mediaBox = QRectF(200, 300, 300, 400);
    return {"OffsetOrigin", onePage(page), QRectF(200, 300, 300, 400)};
}

// The page's own rotation and crop box must not change what the request asks for.
SquarePage pageWithOwnRotationAndCropBox() {
    TestPage page = pageDrawing("0 0 0 rg 50 50 100 100 re f");
    page.cropBox = QRectF(50, 50, 350, 450);
    page.rotate = 90;
    return {"OwnRotationAndCropBox", onePage(page), QRectF(50, 50, 350, 450)};
}

SquarePage subBoxOfPage() {
    return {"SubBox", onePageDrawing("0 0 0 rg 50 50 100 100 re f"), QRectF(50, 50, 200, 300)};
}

// Showing more than the page's crop box, as when a larger crop is being chosen.
SquarePage boxBeyondCropBox() {
    TestPage page = pageDrawing(kSquareAtOrigin);
    page.cropBox = QRectF(150, 150, 300, 300);
    return {"BeyondCropBox", onePage(page), QRectF(0, 0, 612, 792)};
}

SquarePage transparentPageBeyondCropBox() {
    TestPage page = pageDrawing(kSquareAtOrigin);
    page.cropBox = QRectF(150, 150, 300, 300);
    page.transparencyGroup = true;
    return {"TransparentBeyondCropBox", onePage(page), QRectF(0, 0, 612, 792)};
}

SquarePage annotationOnly() {
    TestPage page;
    page.blackSquareAnnotation = QRectF(0, 0, 100, 100);
    return {"Annotation", onePage(page), QRectF(0, 0, 612, 792)};
}

void PrintTo(const SquarePage& page, std::ostream* out) {
    *out << page.name;
}

class SquarePageTest : public testing::TestWithParam<std::tuple<SquarePage, int>> {};

TEST_P(SquarePageTest, ShowsTheSquareInTheTurnedCornerAndWhiteElsewhere) {
    const auto& [page, rotation] = GetParam();
    MupdfRasterizer rasterizer = rasterizerFor(page.pdf);
    const PageRenderRequest request = requestFor(page.box, rotation);

    const PageRenderResult result = rasterizer.render(request, {});

    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_EQ(result.image.size(), request.pixelSize);
    EXPECT_TRUE(showsSquareIn(result.image, lowerLeftCornerTurnedBy(rotation), kSquarePixels));
}

INSTANTIATE_TEST_SUITE_P(Pages, SquarePageTest,
                         testing::Combine(testing::Values(letterPage(), pageWithOffsetOrigin(),
                                                          pageWithOwnRotationAndCropBox(),
                                                          subBoxOfPage(), boxBeyondCropBox(),
                                                          transparentPageBeyondCropBox(),
                                                          annotationOnly()),
                                          testing::Values(0, 90, 180, 270)),
                         [](const auto& test) {
                             return std::get<0>(test.param).name + "_" +
                                    std::to_string(std::get<1>(test.param));
                         });

TEST(MupdfRasterizerTest, StretchesTheBoxToThePixelSizeAndKeepsTheDevicePixelRatio) {
    MupdfRasterizer rasterizer = rasterizerFor(onePageDrawing(kSquareAtOrigin));
    // 200 x 200 points into 100 x 200 pixels: the square becomes 50 x 100 pixels.
    const PageRenderRequest request{0, QRectF(0, 0, 200, 200), 0, QSize(100, 200), 2.0};

    const PageRenderResult result = rasterizer.render(request, {});

    ASSERT_EQ(result.image.size(), QSize(100, 200));
    EXPECT_EQ(result.image.devicePixelRatio(), 2.0);
    EXPECT_LT(qGray(result.image.pixel(47, 103)), 64);
    EXPECT_GT(qGray(result.image.pixel(53, 103)), 240);
    EXPECT_GT(qGray(result.image.pixel(47, 97)), 240);
}

// Drawing a box changes MuPDF's copy of the page; no box may linger into the next picture.
TEST(MupdfRasterizerTest, DrawsEachBoxOfAPageIndependentlyOfTheOnesBefore) {
    TestPage page = pageDrawing(kSquareAtOrigin);
    page.cropBox = QRectF(150, 150, 300, 300);
    page.transparencyGroup = true;
    MupdfRasterizer rasterizer = rasterizerFor(onePage(page));

    const PageRenderResult outside =
        rasterizer.render(requestFor(QRectF(200, 200, 100, 100), 90), {});
    const PageRenderResult whole = rasterizer.render(requestFor(QRectF(0, 0, 612, 792), 0), {});

    EXPECT_TRUE(isBlank(outside.image));
    EXPECT_TRUE(showsSquareIn(whole.image, Corner::BottomLeft, kSquarePixels));
}

TEST(MupdfRasterizerTest, DrawsEachPageOfTheDocument) {
    TestPdfBuilder builder;
    builder.addPage(pageDrawing(kSquareAtOrigin)).addPage({}).addPage(pageDrawing(kSquareAtOrigin));
    MupdfRasterizer rasterizer = rasterizerFor(builder.bytes());
    PageRenderRequest request = requestFor(QRectF(0, 0, 612, 792), 0);

    ASSERT_EQ(rasterizer.pageCount(), 3);
    for (int page : {0, 2}) {
        request.pageIndex = page;
        EXPECT_TRUE(
            showsSquareIn(rasterizer.render(request, {}).image, Corner::BottomLeft, kSquarePixels))
            << "page " << page;
    }
    request.pageIndex = 1;
    EXPECT_TRUE(isBlank(rasterizer.render(request, {}).image));
}

struct PasswordCase {
    const char* password;
    bool unlocks;
};

class LockedDocumentTest : public testing::TestWithParam<PasswordCase> {};

TEST_P(LockedDocumentTest, RendersOnlyWithAPasswordThatUnlocksIt) {
    const QByteArray pdf =
        TestPdfBuilder().addPage(pageDrawing(kSquareAtOrigin)).encrypt("user", "owner").bytes();
    MupdfRasterizer rasterizer = rasterizerFor(pdf, GetParam().password);

    const PageRenderResult result = rasterizer.render(requestFor(QRectF(0, 0, 612, 792), 0), {});

    if (GetParam().unlocks) {
        EXPECT_EQ(rasterizer.pageCount(), 1);
        EXPECT_TRUE(showsSquareIn(result.image, Corner::BottomLeft, kSquarePixels));
    } else {
        EXPECT_EQ(rasterizer.pageCount(), 0);
        EXPECT_TRUE(result.image.isNull());
        EXPECT_FALSE(result.error.isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Passwords, LockedDocumentTest,
                         testing::Values(PasswordCase{"user", true}, PasswordCase{"owner", true},
                                         PasswordCase{"wrong", false}, PasswordCase{"", false}));

struct BadBytes {
    std::string name;
    QByteArray bytes;
};

BadBytes truncatedDocument() {
    const QByteArray whole = onePageDrawing(kSquareAtOrigin);
    return {"Truncated", whole.left(whole.size() / 2)};
}

BadBytes corruptedDocument() {
    QByteArray bytes = onePageDrawing(kSquareAtOrigin);
    for (qsizetype i = bytes.size() / 4; i < bytes.size(); i += 7)
        bytes[i] = char(bytes[i] ^ 0x5a);
    return {"Corrupted", bytes};
}

void PrintTo(const BadBytes& bytes, std::ostream* out) {
    *out << bytes.name;
}

class BadBytesTest : public testing::TestWithParam<BadBytes> {};

// MuPDF may repair some of these; whatever it makes of them, a render gives either a picture
// or a message, and never brings the program down.
TEST_P(BadBytesTest, GiveAnImageOrAMessage) {
    MupdfRasterizer rasterizer = rasterizerFor(GetParam().bytes);

    const PageRenderResult result = rasterizer.render(requestFor(QRectF(0, 0, 612, 792), 0), {});

    EXPECT_NE(result.image.isNull(), result.error.isEmpty());
    EXPECT_FALSE(result.cancelled);
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadBytesTest,
                         testing::Values(BadBytes{"Empty", {}},
                                         BadBytes{"Text", "this is not a PDF file\n"},
                                         BadBytes{"HeaderAndGarbage",
                                                  "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 9 "
                                                  "0 R >>\nstream\n\x01\x02\x03 endobj trailer"},
                                         truncatedDocument(), corruptedDocument()),
                         [](const auto& test) { return test.param.name; });

struct BadRequest {
    std::string name;
    PageRenderRequest request;
};

constexpr qreal kNaN = std::numeric_limits<qreal>::quiet_NaN();

void PrintTo(const BadRequest& request, std::ostream* out) {
    *out << request.name;
}

class BadRequestTest : public testing::TestWithParam<BadRequest> {};

TEST_P(BadRequestTest, IsAnsweredWithAMessage) {
    MupdfRasterizer rasterizer = rasterizerFor(onePageDrawing(kSquareAtOrigin));

    const PageRenderResult result = rasterizer.render(GetParam().request, {});

    EXPECT_TRUE(result.image.isNull());
    EXPECT_FALSE(result.error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, BadRequestTest,
    testing::Values(
        BadRequest{"NegativePage", {-1, QRectF(0, 0, 612, 792), 0, QSize(61, 79), 1}},
        BadRequest{"PagePastTheEnd", {1, QRectF(0, 0, 612, 792), 0, QSize(61, 79), 1}},
        BadRequest{"EmptyBox", {0, QRectF(10, 10, 0, 100), 0, QSize(61, 79), 1}},
        BadRequest{"NaNBox", {0, QRectF(kNaN, 0, 612, 792), 0, QSize(61, 79), 1}},
        BadRequest{
            "InfiniteBox",
            {0, QRectF(0, 0, std::numeric_limits<qreal>::infinity(), 792), 0, QSize(61, 79), 1}},
        BadRequest{"SlantedRotation", {0, QRectF(0, 0, 612, 792), 45, QSize(61, 79), 1}},
        BadRequest{"NoPixels", {0, QRectF(0, 0, 612, 792), 0, QSize(0, 79), 1}},
        BadRequest{"NegativePixels", {0, QRectF(0, 0, 612, 792), 0, QSize(-61, 79), 1}},
        BadRequest{"HugeImage", {0, QRectF(0, 0, 612, 792), 0, QSize(100000, 100000), 1}},
        BadRequest{"ZeroPixelRatio", {0, QRectF(0, 0, 612, 792), 0, QSize(61, 79), 0}},
        BadRequest{"NaNPixelRatio", {0, QRectF(0, 0, 612, 792), 0, QSize(61, 79), kNaN}}),
    [](const auto& test) { return test.param.name; });

TEST(MupdfRasterizerTest, AcceptsBoxCornersInEitherOrder) {
    MupdfRasterizer rasterizer = rasterizerFor(onePageDrawing(kSquareAtOrigin));
    // The same 200 x 200 region, written from its upper-right corner.
    const PageRenderRequest request{0, QRectF(200, 200, -200, -200), 0, QSize(100, 100), 1};

    EXPECT_TRUE(
        showsSquareIn(rasterizer.render(request, {}).image, Corner::BottomLeft, kSquarePixels));
}

TEST(MupdfRasterizerTest, StopsWhenAskedToAndSaysSo) {
    MupdfRasterizer rasterizer = rasterizerFor(onePageDrawing(kSquareAtOrigin));
    std::stop_source stop;
    stop.request_stop();

    const PageRenderResult result =
        rasterizer.render(requestFor(QRectF(0, 0, 612, 792), 0), stop.get_token());

    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.image.isNull());
    EXPECT_TRUE(result.error.isEmpty());
}

} // namespace

// A file saved with new boxes (as an incremental update) must read cleanly here too.
TEST(MupdfRasterizerTest, DrawsAFileSavedWithNewBoxes) {
    QTemporaryDir dir;
    TestPdfBuilder builder;
    builder.addPage(pageDrawing(kSquareAtOrigin)).addPage(pageDrawing(kSquareAtOrigin));
    auto opened = QpdfLoader().open(builder.writeTo(dir.filePath("in.pdf")));
    ASSERT_TRUE(opened.ok());
    opened.document->setBoundsForBox(1, QRectF(0, 0, 200, 200), PdfBox::Crop);
    const QString saved = dir.filePath("out.pdf");
    ASSERT_TRUE(opened.document->writeToFile(saved, nullptr));

    QString error;
    MupdfRasterizer rasterizer(PdfRenderSource{PdfSourceData::mapFile(saved, &error), {}});
    ASSERT_EQ(rasterizer.pageCount(), 2);
    PageRenderRequest request = requestFor(QRectF(0, 0, 200, 200), 0);
    request.pageIndex = 1;
    const PageRenderResult result = rasterizer.render(request, {});
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_TRUE(showsSquareIn(result.image, Corner::BottomLeft, kSquarePixels));
}
