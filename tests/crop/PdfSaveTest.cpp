#include "crop/QpdfLoader.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

enum class Source {
    ClassicXref,
    XrefStream,
    HybridXref,
    EarlierUpdates,
    GarbageAfterEnd,
    GarbageWithoutNewlineAfterEnd,
    Linearized,
    LinearizedXrefStream,
    Encrypted,
    Repaired
};

struct SaveCase {
    const char* name;
    Source source;
    // Whether the save can keep the original bytes and append an update.
    bool keepsOriginal;
};

void PrintTo(const SaveCase& c, std::ostream* out) {
    *out << c.name;
}

// Runs a command-line tool; its exit code, or -1 when it could not run or crashed.
int runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// A wrong cross-reference offset: readers rebuild the table by scanning, and saving
// rewrites the file.
void damageStartxref(QByteArray& file) {
    const qsizetype at = file.lastIndexOf("startxref") + 10;
    file.replace(at, file.indexOf('\n', at) - at, "12");
}

// Writes bytes to a file at path and opens it.
PdfOpenResult openFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    PdfOpenResult result = QpdfLoader().open(path);
    EXPECT_TRUE(result.ok()) << result.message.toStdString();
    return result;
}

class PdfSaveTest : public testing::TestWithParam<SaveCase> {
protected:
    static constexpr int kPageCount = 6;

    QByteArray source() const {
        TestPdfBuilder builder;
        for (int i = 0; i < kPageCount; ++i) {
            TestPage page;
            page.rotate = 90 * (i % 4);
            page.content = "0 0 1 rg 100 100 200 200 re f BT /F1 24 Tf 72 700 Td (Page) Tj ET";
            page.blackSquareAnnotation = QRectF(60, 70, 20, 20);
            page.linkToFirstPage = QRectF(100, 100, 50, 50);
            builder.addPage(page);
        }
        builder.addOutline("Third page", 2);
        switch (GetParam().source) {
        case Source::XrefStream:
            builder.useObjectStreams();
            break;
        case Source::HybridXref:
            builder.useHybridXref();
            break;
        case Source::EarlierUpdates:
            builder.addEarlierUpdates(2);
            break;
        case Source::LinearizedXrefStream:
            builder.useObjectStreams();
            [[fallthrough]];
        case Source::Linearized:
            builder.linearize();
            break;
        case Source::Encrypted:
            builder.encrypt("user", "owner");
            break;
        default:
            break;
        }
        QByteArray bytes = builder.bytes();
        if (GetParam().source == Source::GarbageAfterEnd)
            bytes += "\r\n-- \r\nSent from a mail gateway\r\n";
        if (GetParam().source == Source::GarbageWithoutNewlineAfterEnd)
            bytes += "% an unfinished comment";
        if (GetParam().source == Source::Repaired)
            damageStartxref(bytes);
        return bytes;
    }

    QByteArray password() const {
        return GetParam().source == Source::Encrypted ? "user" : QByteArray();
    }

    // The source opened from a file and unlocked.
    std::unique_ptr<PdfDocument> open(const QByteArray& bytes) {
        auto result = openFile(dir_.filePath("in.pdf"), bytes);
        if (result.document && !password().isEmpty()) {
            EXPECT_TRUE(result.document->unlockWithPassword(password()));
        }
        return std::move(result.document);
    }

    // Saves doc, checks the file as strict readers read it and returns its bytes.
    QByteArray save(const PdfDocument& doc) {
        const QString out = dir_.filePath("out.pdf");
        QString error;
        EXPECT_TRUE(doc.writeToFile(out, &error)) << error.toStdString();
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2) << "temporary file left over";
        EXPECT_TRUE(SavedFileCheck::readsCleanly(out, kPageCount, password()));
        QFile saved(out);
        return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
};

TEST_P(PdfSaveTest, SavedFileReadsCleanlyEverywhereWithTheNewBoxes) {
    const QByteArray original = source();
    auto doc = open(original);
    ASSERT_TRUE(doc);
    for (int box = 0; box < 5; ++box)
        doc->setBoundsForBox(2, QRectF(50, 60, 300.5, 400), static_cast<PdfBox>(box));
    const QByteArray bytes = save(*doc);
    EXPECT_EQ(bytes.startsWith(original), GetParam().keepsOriginal);

    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile("out.pdf", bytes.constData(), static_cast<size_t>(bytes.size()),
                          password().isEmpty() ? nullptr : password().constData());
    EXPECT_EQ(pdf.isEncrypted(), !password().isEmpty());
    auto pages = pdf.getAllPages();
    ASSERT_EQ(pages.size(), static_cast<size_t>(kPageCount));
    for (const char* key : kPdfBoxKeys) {
        const auto r = pages[2].getKey(key).getArrayAsRectangle();
        EXPECT_EQ(QRectF(r.llx, r.lly, r.urx - r.llx, r.ury - r.lly), QRectF(50, 60, 300.5, 400));
    }
    EXPECT_EQ(pages[2].getKey("/Rotate").getIntValue(), 180);
    // Annotations, links and outlines still point at the cropped page.
    EXPECT_EQ(pages[2].getKey("/Annots").getArrayNItems(), 2);
    QPDFObjectHandle link = pages[2].getKey("/Annots").getArrayItem(1);
    EXPECT_EQ(link.getKey("/Dest").getArrayItem(0).getObjGen(), pages[0].getObjGen());
    QPDFObjectHandle outline = pdf.getRoot().getKey("/Outlines").getKey("/First");
    EXPECT_EQ(outline.getKey("/Title").getUTF8Value(), "Third page");
    EXPECT_EQ(outline.getKey("/Dest").getArrayItem(0).getObjGen(), pages[2].getObjGen());
}

TEST_P(PdfSaveTest, WithNoBoxSetTheFileIsCopiedUnchanged) {
    const QByteArray original = source();
    auto doc = open(original);
    ASSERT_TRUE(doc);
    EXPECT_EQ(save(*doc) == original, GetParam().keepsOriginal);
}

INSTANTIATE_TEST_SUITE_P(Sources, PdfSaveTest,
                         testing::Values(SaveCase{"classicXref", Source::ClassicXref, true},
                                         SaveCase{"xrefStream", Source::XrefStream, true},
                                         SaveCase{"hybridXref", Source::HybridXref, true},
                                         SaveCase{"earlierUpdates", Source::EarlierUpdates, true},
                                         SaveCase{"garbageAfterEnd", Source::GarbageAfterEnd, true},
                                         SaveCase{"garbageWithoutNewlineAfterEnd",
                                                  Source::GarbageWithoutNewlineAfterEnd, true},
                                         SaveCase{"linearized", Source::Linearized, true},
                                         SaveCase{"linearizedXrefStream",
                                                  Source::LinearizedXrefStream, true},
                                         SaveCase{"encrypted", Source::Encrypted, true},
                                         SaveCase{"repaired", Source::Repaired, false}),
                         [](const auto& p) { return std::string(p.param.name); });

// A file system with room for little: a small tmpfs, where this process may mount one. The
// parameter says whether the source is damaged, so that it is rewritten rather than copied.
class FullDiskTest : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        mountPoint_ = dir_.filePath("small");
        QDir().mkpath(mountPoint_);
        if (runTool("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint_}) != 0)
            GTEST_SKIP() << "cannot mount a small file system here";
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_)
            runTool("umount", {mountPoint_});
    }

    QTemporaryDir dir_;
    QString mountPoint_;
    bool mounted_ = false;
};

TEST_P(FullDiskTest, FailedWriteSaysTheDiskIsFullAndKeepsTheExistingFile) {
    TestPdfBuilder builder;
    TestPage page;
    page.content = QByteArray(400, ' ') + "0 0 1 rg 10 10 50 50 re f";
    for (int i = 0; i < 400; ++i)
        builder.addPage(page);
    QByteArray bytes = builder.bytes();
    if (GetParam())
        damageStartxref(bytes);
    auto result = openFile(dir_.filePath("in.pdf"), bytes);
    ASSERT_TRUE(result.ok());
    const QString target = QDir(mountPoint_).filePath("out.pdf");
    QFile existing(target);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();

    QString error;
    EXPECT_FALSE(result.document->writeToFile(target, &error));
    EXPECT_EQ(error.toStdString(), "There is not enough space on the disk to save “out.pdf”.");
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "keep me");
    EXPECT_EQ(QDir(mountPoint_).entryList(QDir::Files), QStringList{"out.pdf"});
    EXPECT_FALSE(result.document->writeToFile(dir_.filePath("missing/out.pdf"), &error));
    EXPECT_EQ(error, "The folder “" + dir_.filePath("missing") + "” does not exist.");
}

INSTANTIATE_TEST_SUITE_P(Sources, FullDiskTest, testing::Bool(),
                         [](const auto& p) { return p.param ? "rewritten" : "copied"; });

} // namespace
