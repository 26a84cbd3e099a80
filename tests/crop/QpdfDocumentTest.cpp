#include "crop/QpdfLoader.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <list>

namespace {

class QpdfDocumentTest : public testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }

    std::unique_ptr<PdfDocument> open(const TestPdfBuilder& builder) {
        auto result = QpdfLoader().open(builder.writeTo(path("in.pdf")));
        EXPECT_TRUE(result.ok()) << result.message.toStdString();
        return std::move(result.document);
    }

    // Bytes the document wrote, checked as strict readers read them and parsed. qpdf reads
    // the bytes lazily, in place, so the fixture keeps them alive.
    std::unique_ptr<QPDF> reparse(const QByteArray& bytes) {
        const QByteArray& kept = parsedBytes_.emplace_back(bytes);
        auto pdf = std::make_unique<QPDF>();
        pdf->setSuppressWarnings(true);
        pdf->processMemoryFile("out.pdf", kept.constData(), static_cast<size_t>(kept.size()));
        EXPECT_TRUE(
            SavedFileCheck::bytesReadCleanly(bytes, static_cast<int>(pdf->getAllPages().size())));
        return pdf;
    }

    QTemporaryDir dir_;
    std::list<QByteArray> parsedBytes_;
};

TEST_F(QpdfDocumentTest, ReadsBoxesAndRotationAsTheStandardDefinesThem) {
    TestPdfBuilder builder;
    const int group = builder.addGroup({QRectF(0, 0, 500, 700), QRectF(50, 50, 300, 300), 90});
    builder.addPage({.mediaBox = std::nullopt, .group = group})
        .addPage({.mediaBox = QRectF(612, 792, -612, -792),
                  .cropBox = QRectF(-100, 700, 300, 200), // reaches outside the media box
                  .bleedBox = QRectF(10, 10, 20, 20),
                  .rotate = -90})
        .addPage({.mediaBox = QRectF(30, 40, 400, 500), .rotate = 45});
    auto doc = open(builder);
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->pageCount(), 3);

    EXPECT_EQ(doc->rotation(0), 90);
    EXPECT_EQ(doc->boundsForBox(0, PdfBox::Media), QRectF(0, 0, 500, 700));
    EXPECT_EQ(doc->boundsForBox(0, PdfBox::Crop), QRectF(50, 50, 300, 300));
    EXPECT_EQ(doc->boundsForBox(0, PdfBox::Art), QRectF(50, 50, 300, 300));

    EXPECT_EQ(doc->rotation(1), 270);
    EXPECT_EQ(doc->boundsForBox(1, PdfBox::Media), QRectF(0, 0, 612, 792));
    EXPECT_EQ(doc->boundsForBox(1, PdfBox::Crop), QRectF(0, 700, 200, 92));
    EXPECT_EQ(doc->boundsForBox(1, PdfBox::Bleed), QRectF(10, 10, 20, 20));
    EXPECT_EQ(doc->boundsForBox(1, PdfBox::Trim), QRectF(0, 700, 200, 92));

    EXPECT_EQ(doc->rotation(2), 0);
    EXPECT_EQ(doc->boundsForBox(2, PdfBox::Crop), QRectF(30, 40, 400, 500));
    EXPECT_EQ(doc->boundsForBox(7, PdfBox::Crop), QRectF());
}

class BoxRoundTripTest : public QpdfDocumentTest, public testing::WithParamInterface<int> {};

TEST_P(BoxRoundTripTest, WrittenBoxesReopenExactlyAndTouchNoOtherPageNorCopy) {
    const int rotate = GetParam();
    TestPdfBuilder builder;
    const int group = builder.addGroup({QRectF(-20, 30, 600, 800), std::nullopt, rotate});
    builder.addPages(3, {.mediaBox = std::nullopt, .group = group})
        .addPages(2, {.mediaBox = QRectF(100, 200, 500, 500),
                      .rotate = rotate,
                      .sharedMediaBoxKey = "shared"});
    auto doc = open(builder);
    ASSERT_TRUE(doc);
    const auto before = doc->copy();

    const QRectF kept(-10.25, 40.5, 300.125, 411);
    const QRectF sharedKept(150, 250, 100.5, 200);
    for (int box = 0; box < 5; ++box) {
        doc->pageAtIndex(1).setBoundsForBox(kept, static_cast<PdfBox>(box));
        doc->pageAtIndex(3).setBoundsForBox(sharedKept, static_cast<PdfBox>(box));
    }
    auto pdf = reparse(doc->dataRepresentation());
    auto pages = pdf->getAllPages();
    ASSERT_EQ(pages.size(), 5u);
    for (const char* key : kPdfBoxKeys) {
        EXPECT_EQ(writtenBox(pages[1], key), kept) << key;
        EXPECT_EQ(writtenBox(pages[3], key), sharedKept) << key;
    }
    // The neighbours still inherit or share their original boxes.
    for (int i : {0, 2}) {
        EXPECT_FALSE(pages[i].hasKey("/MediaBox"));
        EXPECT_EQ(writtenBox(pages[i].getKey("/Parent"), "/MediaBox"), QRectF(-20, 30, 600, 800));
    }
    EXPECT_EQ(writtenBox(pages[4], "/MediaBox"), QRectF(100, 200, 500, 500));
    EXPECT_FALSE(pages[4].hasKey("/CropBox"));
    // A copy taken before keeps the old boxes.
    EXPECT_EQ(before->boundsForBox(1, PdfBox::Crop), QRectF(-20, 30, 600, 800));
    const auto unchanged = reparse(before->dataRepresentation());
    EXPECT_FALSE(QPDFObjectHandle(unchanged->getAllPages()[1]).hasKey("/CropBox"));
    // Rotation is untouched.
    for (auto page : pages) {
        QPDFObjectHandle rotation = page.getKey("/Rotate");
        if (rotation.isNull())
            rotation = page.getKey("/Parent").getKey("/Rotate");
        EXPECT_EQ(rotation.getIntValue(), rotate);
    }
}

INSTANTIATE_TEST_SUITE_P(Rotations, BoxRoundTripTest, testing::Values(0, 90, 180, 270, -90));

} // namespace
