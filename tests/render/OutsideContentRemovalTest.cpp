// Removing what lies outside the crop where pages draw it in less plain ways than the
// command line's test page: from a form drawn twice, from images of one bit or with a soft
// mask, from an encrypted file; and failing, naming the page, where an image cannot be cut.

#include "render/OutsideContentRemoval.h"
#include "render/MupdfRasterizer.h"
#include "tests/support/CaseName.h"
#include "tests/support/SavedFileCheck.h"

#include <gtest/gtest.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

using ::PrintTo;
using Object = QPDFObjectHandle;

// [100 100 400 500].
const QRectF kCropBox(100, 100, 300, 400);

// A zlib stream of data, as Flate holds it: what qCompress() makes after its length.
std::string deflated(const std::string& data) {
    return qCompress(QByteArray::fromStdString(data)).sliced(4).toStdString();
}

Object stream(QPDF& pdf, const std::string& dictionary, const std::string& data) {
    Object made = Object::newStream(&pdf, data);
    for (const auto& [key, value] : Object::parse(dictionary).getDictAsMap())
        made.getDict().replaceKey(key, value);
    return made;
}

Object flateImage(QPDF& pdf, int width, int height, const char* space, int bpc,
                  const std::string& samples) {
    return stream(pdf,
                  "<< /Type /XObject /Subtype /Image /Width " + std::to_string(width) +
                      " /Height " + std::to_string(height) + " /ColorSpace " + space +
                      " /BitsPerComponent " + std::to_string(bpc) + " /Filter /FlateDecode >>",
                  deflated(samples));
}

// A 64 x 32 checkerboard of 4-pixel squares, one bit per pixel.
Object checkerboard(QPDF& pdf) {
    std::string bits;
    for (int y = 0; y < 32; ++y) {
        for (int byte = 0; byte < 8; ++byte) {
            unsigned char value = 0;
            for (int bit = 0; bit < 8; ++bit)
                value |= ((byte * 8 + bit) / 4 + y / 4) % 2 ? 0x80 >> bit : 0;
            bits += char(value);
        }
    }
    return flateImage(pdf, 64, 32, "/DeviceGray", 1, bits);
}

// 40 x 40 pixels in four coloured quarters, fading in from the left.
Object softMasked(QPDF& pdf) {
    std::string colours, alpha;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            colours += {char(x < 20 ? 255 : 0), 0, char(y < 20 ? 255 : 0)};
            alpha += char(x * 6);
        }
    }
    Object image = flateImage(pdf, 40, 40, "/DeviceRGB", 8, colours);
    image.getDict().replaceKey("/SMask", flateImage(pdf, 40, 40, "/DeviceGray", 8, alpha));
    return image;
}

Object form(QPDF& pdf) {
    return stream(pdf, "<< /Type /XObject /Subtype /Form /BBox [0 0 100 30] >>",
                  "0 0 1 rg 0 0 30 30 re f BT /F1 12 Tf 2 10 Td (FORMTEXT) Tj ET");
}

struct Case {
    const char* name;
    // What page 1 draws, and its image or form as /X.
    const char* content;
    Object (*x)(QPDF&);
    // Encrypted with the user password "u".
    bool encrypted;
    // What the page loses.
    int glyphs, images, paths;
};

const Case kCases[] = {
    {"FormDrawnInsideAndOutside", "q 1 0 0 1 150 150 cm /X Do Q q 1 0 0 1 500 700 cm /X Do Q", form,
     false, 8, 0, 1},
    {"OneBitImageAcrossTheEdge", "q 128 0 0 64 330 300 cm /X Do Q", checkerboard, false, 0, 1, 0},
    // As the other half of a spread scanned as two images shows beside a split page's part.
    {"ImageTouchingTheEdgeFromOutside", "q 128 0 0 64 400 300 cm /X Do Q", checkerboard, false, 0,
     1, 0},
    {"SoftMaskedImageAcrossTheEdge", "q 80 0 0 80 360 150 cm /X Do Q", softMasked, false, 0, 1, 0},
    {"EncryptedFile", "q 1 0 0 1 150 150 cm /X Do Q q 1 0 0 1 500 700 cm /X Do Q", form, true, 8, 0,
     1},
};

// Adds a letter-sized page cropped to kCropBox that draws content with x as /X.
void addPage(QPDF& pdf, const std::string& content, Object x) {
    Object resources =
        Object::parse("<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                      "/Encoding /WinAnsiEncoding >> >> /XObject << >> >>");
    resources.getKey("/XObject").replaceKey("/X", x);
    Object page = Object::parse("<< /Type /Page /MediaBox [0 0 612 792] "
                                "/CropBox [100 100 400 500] >>");
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", Object::newStream(&pdf, content));
    pdf.addPage(pdf.makeIndirectObject(page), false);
}

// The file of pdf, encrypted with the user password "u" or not.
QByteArray written(QPDF& pdf, bool encrypted = false) {
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    if (encrypted)
        writer.setR6EncryptionParameters("u", "o", true, true, true, true, true, true,
                                         qpdf_r3p_full, true);
    writer.write();
    const auto buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()),
                      qsizetype(buffer->getSize()));
}

QByteArray onePage(const Case& drawn) {
    QPDF pdf;
    pdf.emptyPDF();
    addPage(pdf, drawn.content, drawn.x(pdf));
    return written(pdf, drawn.encrypted);
}

// The crop box of the first page of pdf, drawn at 200 dpi.
QImage drawn(const QByteArray& pdf, const QByteArray& password) {
    MupdfRasterizer rasterizer(PdfRenderSource{PdfSourceData::fromBytes(pdf), password});
    return rasterizer.render({0, kCropBox, 0, (kCropBox.size() * 200 / 72).toSize(), 1}, {})
        .image.convertToFormat(QImage::Format_RGB32);
}

// The share of a's pixels that b shows otherwise.
double differing(const QImage& a, const QImage& b) {
    int differ = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            differ += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))}) > 8;
        }
    }
    return double(differ) / (a.width() * a.height());
}

class OutsideContentRemovalTest : public testing::TestWithParam<Case> {};

// The page loses what lies outside, looks as before within the crop, and the file reads
// cleanly, encrypted as it was.
TEST_P(OutsideContentRemovalTest, KeepsWhatShowsAndNothingElse) {
    const Case& page = GetParam();
    const QByteArray password = page.encrypted ? "u" : "";
    const QByteArray before = onePage(page);
    const auto outcome = OutsideContentRemoval::remove(before, password, {true}, [] {});
    ASSERT_TRUE(outcome.file) << outcome.error.toStdString();
    EXPECT_TRUE(SavedFileCheck::bytesReadCleanly(*outcome.file, 1, password));
    ASSERT_EQ(outcome.removed.size(), 1u);
    EXPECT_EQ(outcome.removed[0].glyphs, page.glyphs);
    EXPECT_EQ(outcome.removed[0].images, page.images);
    EXPECT_EQ(outcome.removed[0].paths, page.paths);

    const QImage shown = drawn(before, password), kept = drawn(*outcome.file, password);
    ASSERT_EQ(kept.size(), shown.size());
    // Drawn to whole pixels, an image cut in two may move an edge by a pixel.
    EXPECT_LE(differing(shown, kept), 0.001);

    QPDF read;
    read.processMemoryFile("removed", outcome.file->constData(), size_t(outcome.file->size()),
                           password.constData());
    EXPECT_EQ(read.isEncrypted(), page.encrypted);
}

INSTANTIATE_TEST_SUITE_P(Pages, OutsideContentRemovalTest, testing::ValuesIn(kCases), CaseName());

// An image that cannot be cut fails the removal, naming its page, rather than being kept whole
// or dropped though it shows.
TEST(OutsideContentRemovalFailureTest, NamesThePageWhoseImageCannotBeCut) {
    QPDF pdf;
    pdf.emptyPDF();
    // The second page's image holds fewer samples than its size.
    for (const size_t samples : {4800, 99})
        addPage(pdf, "q 80 0 0 80 360 150 cm /X Do Q",
                flateImage(pdf, 40, 40, "/DeviceRGB", 8, std::string(samples, 'a')));
    const QByteArray bytes = written(pdf);
    const auto outcome = OutsideContentRemoval::remove(bytes, {}, {true, true}, [] {});
    EXPECT_FALSE(outcome.file);
    EXPECT_TRUE(outcome.error.contains("page 2")) << outcome.error.toStdString();
}

} // namespace
