// Files larger than the memory a render host may take, and larger than 2 and 4 GB, open, draw
// and save through the hosts as the program runs them; a file that does need more memory than
// a host may take is said to be too large, not damaged.

#include "crop/CropSession.h"
#include "crop/QpdfLoader.h"
#include "render/ContainedReading.h"
#include "render/DocumentRasterizers.h"
#include "render/HostSaveWriter.h"
#include "render/RenderHostWorkplace.h"
#include "render/RepairingPdfLoader.h"
#include "tests/support/CaseName.h"
#include "tests/support/LargePdfFile.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

using ::PrintTo;

// Far below what the program gives its hosts, so that a file a test makes in a moment is larger
// than it; enough for a host to start and read a small document.
constexpr int kSmallMemoryMb = 64;
constexpr qint64 kMb = 1 << 20;
constexpr qint64 kGb = kMb << 10;
// Larger than kSmallMemoryMb.
constexpr qint64 kLargerThanTheLimit = 96 * kMb;

std::shared_ptr<const RenderWorkplace> hosts(int memoryMb) {
    return std::make_shared<RenderHostWorkplace>(CROPMARK_RENDER_HOST,
                                                 ProcessRasterizer::Limits{.memoryMb = memoryMb});
}

PageRenderResult drawFirstPage(const PdfDocument& document,
                               std::shared_ptr<const RenderWorkplace> workplace) {
    return DocumentRasterizers::maker(document.renderSource(), 1, std::move(workplace))()->render(
        {0, QRectF(0, 0, 612, 792), 0, QSize(51, 66), 1}, {});
}

class LargeFileTest : public testing::Test {
protected:
    void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "with the sanitizers, the hosts run without a memory limit";
#endif
    }

    QString write(const QString& name, const LargePdfSpec& spec) {
        const QString path = dir_.filePath(name);
        LargePdfFile::write(path, spec);
        return path;
    }

    QTemporaryDir dir_;
};

TEST_F(LargeFileTest, AFileLargerThanTheHostsMemoryOpensDrawsAndSaves) {
    const QString path = write("larger-than-memory.pdf", {.imageBytes = kLargerThanTheLimit});
    const auto workplace = hosts(kSmallMemoryMb);
    PdfOpenResult opened = RepairingPdfLoader(*workplace).open(path);
    ASSERT_TRUE(opened.ok()) << opened.message.toStdString();
    EXPECT_TRUE(opened.notice.isEmpty()) << opened.notice.toStdString();
    CropSession session(std::move(opened.document));
    const PageRenderResult drawn = drawFirstPage(session.pdfDoc(), workplace);
    ASSERT_FALSE(drawn.image.isNull()) << drawn.error.toStdString();
    EXPECT_EQ(drawn.image.pixelColor(25, 33), QColor(Qt::red));

    session.cropIsFinishedWithRect(QRectF(100, 100, 400, 500));
    session.done();
    const QString saved = dir_.filePath("saved.pdf");
    QString error;
    ASSERT_TRUE(session.pdfDoc().writeToFile(saved, &error)) << error.toStdString();
    EXPECT_TRUE(SavedFileCheck::readsCleanly(saved, 1));
}

// Past 32 bits and past the memory the program gives its hosts, with the limits it ships with.
// The image is a hole in the file, and only the page's square is drawn, so nothing the size of
// the file is read or written.
TEST_F(LargeFileTest, AFileOfMoreThanFourGigabytesOpensAndDrawsWithTheShippedLimits) {
    const qint64 size = kGb * 9 / 2;
    const QString path = write("large.pdf", {.imageBytes = size});
    ASSERT_GT(QFile(path).size(), size);
    const auto workplace = std::make_shared<RenderHostWorkplace>(CROPMARK_RENDER_HOST);
    PdfOpenResult opened = RepairingPdfLoader(*workplace).open(path);
    ASSERT_TRUE(opened.ok()) << opened.message.toStdString();
    EXPECT_TRUE(opened.notice.isEmpty()) << opened.notice.toStdString();
    const PageRenderResult drawn = drawFirstPage(*opened.document, workplace);
    ASSERT_FALSE(drawn.image.isNull()) << drawn.error.toStdString();
    EXPECT_EQ(drawn.image.pixelColor(25, 33), QColor(Qt::red));
}

// A repaired copy, as a rewritten one, comes back whole when it is larger than any message
// between a host and the program may be.
TEST_F(LargeFileTest, ARepairedCopyOfMoreThanAQuarterGigabyteComesBackWhole) {
    const QString path = write("repaired.pdf", {.imageBytes = 300 * kMb});
    const auto source = PdfSourceData::mapFile(path, nullptr);
    ASSERT_TRUE(source);
    const auto copy = ContainedReading::repair(*source, CROPMARK_RENDER_HOST, 4096);
    ASSERT_TRUE(copy);
    EXPECT_GT(copy->size(), 300 * kMb);
    const PdfOpenResult opened = QpdfLoader().openData(copy, "copy");
    ASSERT_TRUE(opened.ok()) << opened.message.toStdString();
    EXPECT_EQ(opened.document->pageCount(), 1);
}

// What needs more memory than a host may take, and what the user is told.
struct TooLargeCase {
    const char* name;
    LargePdfSpec spec;
    // Tries the file at path with hosts of kSmallMemoryMb; the message it fails with.
    QString (*failure)(const QString& path);
};

QString openFailure(const QString& path) {
    const PdfOpenResult opened = RepairingPdfLoader(*hosts(kSmallMemoryMb)).open(path);
    EXPECT_FALSE(opened.ok());
    EXPECT_EQ(opened.error, PdfOpenError::TooLarge);
    return opened.message;
}

QString drawFailure(const QString& path) {
    const auto workplace = hosts(kSmallMemoryMb);
    const PdfOpenResult opened = RepairingPdfLoader(*workplace).open(path);
    if (!opened.ok())
        return opened.message;
    // The renderer's own answer: the program then draws the page from qpdf's rewrite of the
    // file, whose image, compressed, does fit.
    const PageRenderResult drawn =
        workplace->rasterizer(opened.document->renderSource())
            ->render({0, QRectF(0, 0, 612, 792), 0, QSize(51, 66), 1}, {});
    EXPECT_TRUE(drawn.image.isNull());
    return drawn.error;
}

// Read with the program's limit, saved with the small one.
QString saveFailure(const QString& path) {
    const QString host = CROPMARK_RENDER_HOST;
    const QpdfLoader loader(
        [&](const PdfSourceData& data, const QByteArray& password) {
            return ContainedReading::readPages(data, password, host, 4096);
        },
        std::make_shared<HostSaveWriter>(host, kSmallMemoryMb));
    PdfOpenResult opened = loader.open(path);
    if (!opened.ok())
        return opened.message;
    CropSession session(std::move(opened.document));
    session.cropIsFinishedWithRect(QRectF(100, 100, 400, 500));
    session.done();
    const QString target = path + ".saved";
    writeFile(target, "kept");
    QString error;
    EXPECT_FALSE(session.pdfDoc().writeToFile(target, &error));
    EXPECT_EQ(readFile(target), "kept");
    return error;
}

class TooLargeTest : public LargeFileTest, public testing::WithParamInterface<TooLargeCase> {};

TEST_P(TooLargeTest, SaysTheFileIsTooLargeNotDamaged) {
    const QString path = write("too-large.pdf", GetParam().spec);
    const QString message = GetParam().failure(path);
    EXPECT_TRUE(message.contains("too large")) << message.toStdString();
    EXPECT_FALSE(message.contains("damaged")) << message.toStdString();
}

// A page dictionary that takes more memory to read than a host may take, and an image that
// takes more to draw.
INSTANTIATE_TEST_SUITE_P(
    Jobs, TooLargeTest,
    testing::Values(
        TooLargeCase{
            "Open", {.imageBytes = kMb, .pagePrivateBytes = kSmallMemoryMb * kMb / 2}, openFailure},
        TooLargeCase{
            "Save", {.imageBytes = kMb, .pagePrivateBytes = kSmallMemoryMb * kMb / 2}, saveFailure},
        TooLargeCase{
            "Draw", {.imageBytes = kLargerThanTheLimit, .pageDrawsImage = true}, drawFailure}),
    CaseName());

} // namespace
