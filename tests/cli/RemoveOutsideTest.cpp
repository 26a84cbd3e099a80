// `cropmark crop --remove-outside` as a user runs it: what lies wholly outside the crop box is
// gone from the file rather than hidden, what crosses its edge is cut down to what shows, and
// the page looks as the plain crop shows it. Each check is made on the plain crop of the same
// page too, where it must find everything still there.

#include "crop/OriginalBoxesEntry.h"
#include "render/MupdfRasterizer.h"
#include "tests/cli/CropmarkProcess.h"
#include "tests/support/CaseName.h"
#include "tests/support/ExpectNear.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>
#include <qpdf/QPDFWriter.hh>

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>

namespace {

using ::PrintTo;

const QRectF kLetter(0, 0, 612, 792);
// [100 100 400 500].
const QRectF kCropBox(100, 100, 300, 400);
const QStringList kCrop{"crop", "--box", "100,100,300,400"};

enum Copy { kInside, kCrossing, kOutside };

// Each image is this picture: red rising across it, green down it, and blue a step higher in
// every other block of 16 pixels, none of it near white. A cut on the wrong side or drawn at the
// wrong scale shows plainly, while the steps are low enough that the renderer fitting a cut
// image to whole pixels, at a scale a little off the whole one's, changes little.
constexpr QSize kPicture(128, 96);

QImage picture() {
    QImage image(kPicture, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(
                x, y, QColor(30 + x * 3 / 2, 30 + y * 2, 116 + (x / 16 + y / 16) % 2 * 24));
    }
    return image;
}

// Three copies of one kind of object, drawn in this order: wholly inside the crop box, across
// one of its edges, and wholly outside it.
struct ObjectKind {
    const char* name;
    std::array<QRectF, 3> copies;
    // The operators that draw copy over where.
    QByteArray (*draw)(const QRectF& where, int copy);
    // For an image: the encoding pdfimages names, and how many pixels beyond what shows the cut
    // may keep (a JPEG is cut along its blocks of 16).
    const char* encoding = nullptr;
    int slack = 0;
};

QByteArray drawImage(const char* name, const QRectF& where) {
    return QStringLiteral("q %1 0 0 %2 %3 %4 cm %5 Do Q\n")
        .arg(where.width())
        .arg(where.height())
        .arg(where.x())
        .arg(where.y())
        .arg(QLatin1String(name))
        .toLatin1();
}

// Where each copy is drawn; a word's rectangle starts where its baseline does and is as wide as
// Helvetica sets it at 16 pt and as high as its capitals. CROSSING from x = 371 has C and R
// inside the crop box, O across its edge at x = 400, and SING wholly beyond it.
const ObjectKind kKinds[] = {
    {"Text",
     {QRectF(120, 470, 54, 12), QRectF(371, 470, 86, 12), QRectF(470, 470, 72, 12)},
     [](const QRectF& where, int copy) {
         const char* words[] = {"INSIDE", "CROSSING", "OUTSIDE"};
         return QStringLiteral("BT /F1 16 Tf %1 %2 Td (%3) Tj ET\n")
             .arg(where.x())
             .arg(where.y())
             .arg(QLatin1String(words[copy]))
             .toLatin1();
     }},
    {"Jpeg",
     {QRectF(120, 360, 100, 75), QRectF(340, 360, 100, 75), QRectF(450, 360, 100, 75)},
     [](const QRectF& where, int) { return drawImage("/Jpeg", where); },
     "jpeg",
     16},
    {"Lossless",
     {QRectF(120, 150, 100, 75), QRectF(250, 60, 100, 75), QRectF(450, 150, 100, 75)},
     [](const QRectF& where, int) { return drawImage("/Lossless", where); },
     "image",
     2},
    {"Path",
     {QRectF(120, 250, 80, 60), QRectF(360, 250, 80, 60), QRectF(450, 250, 80, 60)},
     [](const QRectF& where, int copy) {
         const char* colours[] = {"1 0 0", "0 0.6 0", "0 0 1"};
         return QStringLiteral("%1 rg %2 %3 %4 %5 re f\n")
             .arg(QLatin1String(colours[copy]))
             .arg(where.x())
             .arg(where.y())
             .arg(where.width())
             .arg(where.height())
             .toLatin1();
     }},
};

// One letter-sized page with every kind's copies, and a note in the margin above the crop box.
TestPdfBuilder page() {
    QByteArray content = "BT /F1 9 Tf 40 740 Td (private note: not for the reader) Tj ET\n";
    for (const ObjectKind& kind : kKinds) {
        for (int copy : {kInside, kCrossing, kOutside})
            content += kind.draw(kind.copies[size_t(copy)], copy);
    }
    return TestPdfBuilder().addPage(
        {.content = content, .images = {{"/Jpeg", {picture()}}, {"/Lossless", {picture(), true}}}});
}

// A copy of the file at path whose page is the whole letter-sized sheet again, its media box
// the original one and no other box set, so that readers find whatever the crop left beyond
// the crop box; written beside it and named after it.
QString uncropped(const QString& path) {
    QPDF pdf;
    pdf.processFile(path.toLocal8Bit().constData());
    for (QPDFObjectHandle page : pdf.getAllPages()) {
        for (const char* key : {"/CropBox", "/BleedBox", "/TrimBox", "/ArtBox"})
            page.removeKey(key);
        page.replaceKey("/MediaBox", QPDFObjectHandle::newFromRectangle({0, 0, 612, 792}));
    }
    const QString copy = QString(path).replace(".pdf", "-uncropped.pdf");
    QPDFWriter writer(pdf, copy.toLocal8Bit().constData());
    writer.write();
    return copy;
}

// The page cropped once each way in a folder of its own, kept for every test of the process.
struct Crops {
    QTemporaryDir dir;
    QString plain = dir.filePath("plain.pdf");
    QString removed = dir.filePath("removed.pdf");
    CropmarkRun plainRun, removedRun;

    Crops() {
        page().writeTo(dir.filePath("in.pdf"));
        plainRun = runCropmark(kCrop + QStringList{"-o", "plain.pdf", "in.pdf"}, dir.path());
        removedRun = runCropmark(
            kCrop + QStringList{"--remove-outside", "-o", "removed.pdf", "in.pdf"}, dir.path());
    }
};

const Crops& crops() {
    static const Crops made;
    return made;
}

testing::AssertionResult succeeded(const CropmarkRun& run) {
    if (run.exitCode == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "cropmark ended with " << run.exitCode << ": " << run.err.toStdString();
}

bool keepsOriginalBoxes(const QString& path) {
    QPDF pdf;
    pdf.processFile(path.toLocal8Bit().constData());
    QPDFObjectHandle page = pdf.getAllPages().at(0);
    QPDFObjectHandle pieces = page.getKey(OriginalBoxesEntry::kPieceInfo);
    return pieces.isDictionary() && pieces.hasKey(OriginalBoxesEntry::kOwnKey);
}

// The first page's box of the file at path as MuPDF draws it at 100 dpi.
QImage drawn(const QString& path, const QRectF& box) {
    MupdfRasterizer rasterizer(PdfRenderSource{PdfSourceData::fromBytes(readFile(path)), {}});
    const QSize pixels = (box.size() * 100 / 72).toSize();
    return rasterizer.render({0, box, 0, pixels, 1}, {})
        .image.convertToFormat(QImage::Format_RGB32);
}

// The pixels of picture, a drawing of the whole letter-sized page at 100 dpi, over where.
QImage pixelsOver(const QImage& picture, const QRectF& where) {
    const double scale = 100.0 / 72;
    return picture.copy(QRectF(where.x() * scale, (792 - where.bottom()) * scale,
                               where.width() * scale, where.height() * scale)
                            .toAlignedRect());
}

bool hasInk(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)}) < 200)
                return true;
        }
    }
    return false;
}

// The sizes of the images pdfimages finds drawn on the file's pages, by their encoding ("jpeg",
// "image" for one compressed without loss), largest first.
std::map<QString, std::vector<QSize>> imageSizes(const QString& path) {
    const CropmarkRun listing = runProgram("pdfimages", {"-list", path}, ".");
    EXPECT_EQ(listing.exitCode, 0) << listing.err.toStdString();
    std::map<QString, std::vector<QSize>> sizes;
    // Two lines of headings, then per image: page num type width height color comp bpc enc ...
    for (const QString& line : listing.out.split('\n', Qt::SkipEmptyParts).mid(2)) {
        const QStringList fields = line.simplified().split(' ');
        sizes[fields.value(8)].push_back(QSize(fields.value(3).toInt(), fields.value(4).toInt()));
    }
    for (auto& [encoding, found] : sizes)
        std::sort(found.begin(), found.end(),
                  [](QSize a, QSize b) { return a.width() * a.height() > b.width() * b.height(); });
    return sizes;
}

TEST(RemoveOutsideTest, WritesACleanFileOfTheCropBoxAloneWithNothingToRestore) {
    const Crops& files = crops();
    ASSERT_TRUE(succeeded(files.plainRun));
    EXPECT_TRUE(SavedFileCheck::readsCleanly(files.plain, 1));
    EXPECT_TRUE(keepsOriginalBoxes(files.plain));

    ASSERT_TRUE(succeeded(files.removedRun));
    EXPECT_TRUE(SavedFileCheck::readsCleanly(files.removed, 1));
    expectNear(writtenBoxes(files.removed, "/MediaBox").at(0), kCropBox, 0.01);
    EXPECT_FALSE(keepsOriginalBoxes(files.removed));
}

// Glyphs wholly outside the crop box are gone, those across its edge stay; so is the margin's
// note.
TEST(RemoveOutsideTest, LeavesNoTextToExtractBeyondTheCropBox) {
    const auto text = [](const QString& path) {
        return runProgram("pdftotext", {uncropped(path), "-"}, ".").out.simplified();
    };
    const Crops& files = crops();
    ASSERT_TRUE(succeeded(files.plainRun));
    const QString plain = text(files.plain);
    for (const char* words : {"INSIDE", "CROSSING", "OUTSIDE", "private note"})
        EXPECT_TRUE(plain.contains(words)) << words << " in " << plain.toStdString();

    ASSERT_TRUE(succeeded(files.removedRun));
    const QString removed = text(files.removed);
    EXPECT_TRUE(removed.contains("INSIDE")) << removed.toStdString();
    EXPECT_TRUE(removed.contains("CRO") && !removed.contains("CROS")) << removed.toStdString();
    for (const char* words : {"OUTSIDE", "private"})
        EXPECT_FALSE(removed.contains(words)) << words << " in " << removed.toStdString();
}

// An image inside keeps every pixel, one across an edge keeps every pixel that shows even in
// part and little more, one outside is dropped; each keeps its encoding.
TEST(RemoveOutsideTest, CutsImagesToWhatShowsAndDropsTheRest) {
    const Crops& files = crops();
    ASSERT_TRUE(succeeded(files.plainRun));
    const auto plain = imageSizes(files.plain);
    ASSERT_TRUE(succeeded(files.removedRun));
    const auto removed = imageSizes(files.removed);
    for (const ObjectKind& kind : kKinds) {
        if (!kind.encoding)
            continue;
        SCOPED_TRACE(kind.name);
        EXPECT_EQ(plain.at(kind.encoding), std::vector<QSize>(3, kPicture));
        const std::vector<QSize> kept =
            removed.count(kind.encoding) ? removed.at(kind.encoding) : std::vector<QSize>();
        ASSERT_EQ(kept.size(), 2u);
        EXPECT_EQ(kept[0], kPicture);
        const QRectF where = kind.copies[kCrossing];
        const QRectF shown = where.intersected(kCropBox);
        const auto expectShows = [&](int size, int whole, double fraction) {
            const int least = int(std::ceil(whole * fraction - 0.01));
            EXPECT_GE(size, least);
            EXPECT_LE(size, std::min(whole, least + kind.slack));
        };
        expectShows(kept[1].width(), kPicture.width(), shown.width() / where.width());
        expectShows(kept[1].height(), kPicture.height(), shown.height() / where.height());
    }
}

// MuPDF draws the crop box of both files alike, but for the noise of a JPEG encoded again and of
// cut images fitted to whole pixels; an image cut on the wrong side or drawn at the wrong scale
// differs by far more, and a colour shifted over a whole image shows in the mean.
TEST(RemoveOutsideTest, LooksAsThePlainCropDoes) {
    const Crops& files = crops();
    ASSERT_TRUE(succeeded(files.plainRun));
    ASSERT_TRUE(succeeded(files.removedRun));
    const QImage plain = drawn(files.plain, kCropBox), removed = drawn(files.removed, kCropBox);
    ASSERT_FALSE(plain.isNull());
    ASSERT_EQ(removed.size(), plain.size());
    int most = 0;
    qint64 total = 0;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            const QRgb a = plain.pixel(x, y), b = removed.pixel(x, y);
            for (int d : {qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b)}) {
                most = std::max(most, std::abs(d));
                total += std::abs(d);
            }
        }
    }
    EXPECT_LE(most, 24);
    EXPECT_LE(double(total) / (plain.width() * plain.height() * 3), 0.5);
}

// A dry run says, through the render host that removes them, what the page would lose: the
// glyphs beyond the box, the two images outside and the two across its edge, the path
// outside; and leaves nothing behind.
TEST(RemoveOutsideTest, DryRunTellsWhatThePageWouldLoseAndWritesNothing) {
    QTemporaryDir dir;
    page().writeTo(dir.filePath("in.pdf"));
    const CropmarkRun run =
        runCropmark(kCrop + QStringList{"--remove-outside", "--dry-run", "in.pdf"}, dir.path());
    ASSERT_TRUE(succeeded(run));
    EXPECT_TRUE(run.out.contains(QRegularExpression(
        "in.pdf page 1: removes [1-9][0-9]* glyphs, 4 images, 1 path, 0 annotations, "
        "[1-9][0-9]* bytes")))
        << run.out.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"in.pdf"});
}

class OutsideCopyTest : public testing::TestWithParam<ObjectKind> {};

// On the whole sheet, the copy outside the crop box still shows after a plain crop, and is
// blank after removing.
TEST_P(OutsideCopyTest, IsGoneFromTheWholeSheet) {
    const QRectF where = GetParam().copies[kOutside];
    const Crops& files = crops();
    ASSERT_TRUE(succeeded(files.plainRun));
    EXPECT_TRUE(hasInk(pixelsOver(drawn(uncropped(files.plain), kLetter), where)));
    ASSERT_TRUE(succeeded(files.removedRun));
    EXPECT_FALSE(hasInk(pixelsOver(drawn(uncropped(files.removed), kLetter), where)));
}

INSTANTIATE_TEST_SUITE_P(Kinds, OutsideCopyTest, testing::ValuesIn(kKinds), CaseName());

} // namespace
