// Documents as qpdf reads and writes them, and saves of every kind of source file, from a file
// another program changed, and onto a full disk.

#include "crop/PdfWriteNotifications.h"
#include "crop/QpdfLoader.h"
#include "crop/QpdfParser.h"
#include "crop/QpdfReadBack.h"
#include "crop/QpdfUpdateBuilder.h"
#include "platform/NotificationCenter.h"
#include "tests/support/CaseName.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using ::PrintTo;

// Opens the document builder makes, from its bytes.
std::unique_ptr<PdfDocument> opened(const TestPdfBuilder& builder) {
    PdfOpenResult result = QpdfLoader().openBytes(builder.bytes(), "in.pdf");
    EXPECT_TRUE(result.ok()) << result.message.toStdString();
    return std::move(result.document);
}

// Bytes a document wrote, checked as strict readers read them, and parsed by qpdf, which reads
// them in place.
struct Written {
    explicit Written(QByteArray written) : bytes(std::move(written)) {
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("out.pdf", bytes.constData(), static_cast<size_t>(bytes.size()));
        EXPECT_TRUE(
            SavedFileCheck::bytesReadCleanly(bytes, static_cast<int>(pdf.getAllPages().size())));
    }
    const QByteArray bytes;
    QPDF pdf;
};

// Boxes and rotation as the standard defines them: inherited from the page tree, corners in
// either order, a crop box clipped to the media box. Boxes set are written exactly, on pages
// whose boxes are inherited or shared, and touch no other page, no rotation and no copy.
TEST(PdfDocumentTest, ReadsBoxesAsTheStandardDefinesThemAndWritesOnlyThoseSet) {
    TestPdfBuilder builder;
    const int group = builder.addGroup({QRectF(0, 0, 500, 700), QRectF(50, 50, 300, 300), 90});
    builder.addPages(2, {.mediaBox = std::nullopt, .group = group})
        .addPage({.mediaBox = QRectF(612, 792, -612, -792),
                  .cropBox = QRectF(-100, 700, 300, 200), // reaches outside the media box
                  .bleedBox = QRectF(10, 10, 20, 20),
                  .rotate = -90})
        .addPages(
            2, {.mediaBox = QRectF(30, 40, 400, 500), .rotate = 45, .sharedMediaBoxKey = "shared"});
    auto doc = opened(builder);
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->pageCount(), 5);

    EXPECT_EQ(doc->rotation(0), 90);
    EXPECT_EQ(doc->boundsForBox(0, PdfBox::Media), QRectF(0, 0, 500, 700));
    EXPECT_EQ(doc->boundsForBox(0, PdfBox::Crop), QRectF(50, 50, 300, 300));
    EXPECT_EQ(doc->boundsForBox(0, PdfBox::Art), QRectF(50, 50, 300, 300));

    EXPECT_EQ(doc->rotation(2), 270);
    EXPECT_EQ(doc->boundsForBox(2, PdfBox::Media), QRectF(0, 0, 612, 792));
    EXPECT_EQ(doc->boundsForBox(2, PdfBox::Crop), QRectF(0, 700, 200, 92));
    EXPECT_EQ(doc->boundsForBox(2, PdfBox::Bleed), QRectF(10, 10, 20, 20));
    EXPECT_EQ(doc->boundsForBox(2, PdfBox::Trim), QRectF(0, 700, 200, 92));

    EXPECT_EQ(doc->rotation(3), 0);
    EXPECT_EQ(doc->boundsForBox(3, PdfBox::Crop), QRectF(30, 40, 400, 500));
    EXPECT_EQ(doc->boundsForBox(7, PdfBox::Crop), QRectF());

    const auto before = doc->copy();
    const QRectF kept(-10.25, 40.5, 300.125, 411);
    const QRectF sharedKept(150, 250, 100.5, 200);
    for (int box = 0; box < 5; ++box) {
        doc->pageAtIndex(1).setBoundsForBox(kept, static_cast<PdfBox>(box));
        doc->pageAtIndex(3).setBoundsForBox(sharedKept, static_cast<PdfBox>(box));
    }
    Written written(doc->dataRepresentation());
    auto pages = written.pdf.getAllPages();
    ASSERT_EQ(pages.size(), 5u);
    for (const char* key : kPdfBoxKeys) {
        EXPECT_EQ(writtenBox(pages[1], key), kept) << key;
        EXPECT_EQ(writtenBox(pages[3], key), sharedKept) << key;
    }
    // The neighbours still inherit or share their boxes, or have theirs as they were written.
    EXPECT_FALSE(pages[0].hasKey("/MediaBox"));
    EXPECT_EQ(writtenBox(pages[0].getKey("/Parent"), "/MediaBox"), QRectF(0, 0, 500, 700));
    EXPECT_EQ(writtenBox(pages[2], "/CropBox"), QRectF(-100, 700, 300, 200));
    EXPECT_EQ(writtenBox(pages[4], "/MediaBox"), QRectF(30, 40, 400, 500));
    EXPECT_FALSE(pages[4].hasKey("/CropBox"));
    // A copy taken before keeps the old boxes.
    EXPECT_EQ(before->boundsForBox(1, PdfBox::Crop), QRectF(50, 50, 300, 300));
    Written unchanged(before->dataRepresentation());
    EXPECT_FALSE(QPDFObjectHandle(unchanged.pdf.getAllPages()[1]).hasKey("/CropBox"));
    // Rotation is untouched, as written.
    const int rotations[] = {90, 90, -90, 45, 45};
    for (size_t i = 0; i < pages.size(); ++i) {
        QPDFObjectHandle rotation = pages[i].getKey("/Rotate");
        if (rotation.isNull())
            rotation = pages[i].getKey("/Parent").getKey("/Rotate");
        EXPECT_EQ(rotation.getIntValue(), rotations[i]) << i;
    }
}

// A trailer without the /Size that every trailer must have, as careless producers write it.
void dropTrailerSize(QByteArray& file) {
    const qsizetype at = file.indexOf("/Size ", file.lastIndexOf("trailer"));
    file.remove(at, file.indexOf(' ', at + 6) - at);
}

// Writes bytes to a file at path and opens it.
PdfOpenResult openFile(const QString& path, const QByteArray& bytes) {
    PdfOpenResult result = QpdfLoader().open(writeFile(path, bytes));
    EXPECT_TRUE(result.ok()) << result.message.toStdString();
    return result;
}

struct SaveCase {
    const char* name;
    TestPdfLayout layout = {};
    void (*change)(QByteArray&) = nullptr;
    // Whether the save can keep the original bytes and append an update.
    bool keepsOriginal = true;
    QByteArray password = {};
    // Whether a crop makes the save rewrite the file all the same: in an encrypted file, the
    // date of the boxes kept from before the crop is a string to encrypt.
    bool cropRewrites = false;
};

class PdfSaveTest : public testing::TestWithParam<SaveCase> {
protected:
    static constexpr int kPageCount = 6;

    // Saves doc, checks the file as strict readers read it and returns its bytes.
    QByteArray save(const PdfDocument& doc) {
        const QString out = dir_.filePath("out.pdf");
        QString error;
        EXPECT_TRUE(doc.writeToFile(out, &error)) << error.toStdString();
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2) << "temporary file left over";
        EXPECT_TRUE(SavedFileCheck::readsCleanly(out, kPageCount, GetParam().password));
        return readFile(out);
    }

    QTemporaryDir dir_;
};

// Saved with no box set, the file is copied unchanged; with boxes set, the new boxes read back
// and annotations, links and outlines still point at the cropped page.
TEST_P(PdfSaveTest, SavedFileReadsCleanlyEverywhereWithTheNewBoxes) {
    const SaveCase& c = GetParam();
    TestPdfBuilder builder;
    for (int i = 0; i < kPageCount; ++i)
        builder.addPage(
            {.rotate = 90 * (i % 4),
             .content = "0 0 1 rg 100 100 200 200 re f BT /F1 24 Tf 72 700 Td (Page) Tj ET",
             .blackSquareAnnotation = QRectF(60, 70, 20, 20),
             .linkToFirstPage = QRectF(100, 100, 50, 50)});
    builder.outline("Third page", 2).layOut(c.layout);
    if (!c.password.isEmpty())
        builder.encrypt(c.password, "owner");
    QByteArray original = builder.bytes();
    if (c.change)
        c.change(original);
    auto doc = openFile(dir_.filePath("in.pdf"), original).document;
    ASSERT_TRUE(doc);
    EXPECT_TRUE(c.password.isEmpty() || doc->unlockWithPassword(c.password));
    EXPECT_EQ(save(*doc) == original, c.keepsOriginal);

    for (int box = 0; box < 5; ++box)
        doc->setBoundsForBox(2, QRectF(50, 60, 300.5, 400), static_cast<PdfBox>(box));
    const QByteArray bytes = save(*doc);
    EXPECT_EQ(bytes.startsWith(original), c.keepsOriginal && !c.cropRewrites);
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processMemoryFile("out.pdf", bytes.constData(), static_cast<size_t>(bytes.size()),
                          c.password.isEmpty() ? nullptr : c.password.constData());
    EXPECT_EQ(pdf.isEncrypted(), !c.password.isEmpty());
    auto pages = pdf.getAllPages();
    ASSERT_EQ(pages.size(), static_cast<size_t>(kPageCount));
    for (const char* key : kPdfBoxKeys)
        EXPECT_EQ(writtenBox(pages[2], key), QRectF(50, 60, 300.5, 400)) << key;
    // The boxes it was opened with are kept, dated, in the cropped page alone.
    QPDFObjectHandle kept = pages[2].getKey("/PieceInfo").getKey("/Cropmark");
    for (const char* key : kPdfBoxKeys)
        EXPECT_EQ(writtenBox(kept.getKey("/Private"), key), QRectF(0, 0, 612, 792)) << key;
    const QRegularExpression date("^D:\\d{14}Z$");
    EXPECT_TRUE(
        date.match(QString::fromStdString(kept.getKey("/LastModified").getUTF8Value())).hasMatch());
    EXPECT_EQ(pages[2].getKey("/LastModified").getUTF8Value(),
              kept.getKey("/LastModified").getUTF8Value());
    EXPECT_FALSE(pages[1].hasKey("/PieceInfo"));
    EXPECT_EQ(pages[2].getKey("/Rotate").getIntValue(), 180);
    EXPECT_EQ(pages[2].getKey("/Annots").getArrayNItems(), 2);
    QPDFObjectHandle link = pages[2].getKey("/Annots").getArrayItem(1);
    EXPECT_EQ(link.getKey("/Dest").getArrayItem(0).getObjGen(), pages[0].getObjGen());
    QPDFObjectHandle outline = pdf.getRoot().getKey("/Outlines").getKey("/First");
    EXPECT_EQ(outline.getKey("/Title").getUTF8Value(), "Third page");
    EXPECT_EQ(outline.getKey("/Dest").getArrayItem(0).getObjGen(), pages[2].getObjGen());
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PdfSaveTest,
    testing::Values(SaveCase{"classicXref"}, SaveCase{"xrefStream", {.objectStreams = true}},
                    SaveCase{"hybridXref", {.objectStreams = true, .hybridXref = true}},
                    SaveCase{"earlierUpdates", {.earlierUpdates = 2}},
                    SaveCase{"garbageAfterEnd",
                             {},
                             [](QByteArray& f) { f += "\r\n-- \r\nSent from a mail gateway\r\n"; }},
                    SaveCase{"garbageWithoutNewlineAfterEnd",
                             {},
                             [](QByteArray& f) { f += "% an unfinished comment"; }},
                    SaveCase{"linearized", {.linearized = true}},
                    SaveCase{"linearizedXrefStream", {.objectStreams = true, .linearized = true}},
                    SaveCase{"encrypted", {}, nullptr, true, "user", true},
                    SaveCase{"repaired", {.wrongStartxref = true}, nullptr, false},
                    SaveCase{"trailerWithoutSize", {}, dropTrailerSize, false}),
    CaseName());

// A page whose dictionary is lost has nowhere to keep boxes: the crops that "Done" sets on
// every page leave it as it was, and the document's bytes hold the other pages' crops.
TEST(DamagedPageSaveTest, OtherPagesKeepTheirCropsAndTheFileSavesClean) {
    QByteArray bytes = TestPdfBuilder().addPages(3).bytes();
    QPDF parsed;
    parsed.processMemoryFile("in.pdf", bytes.constData(), static_cast<size_t>(bytes.size()));
    const QByteArray firstPage =
        QByteArray::number(parsed.getAllPages()[0].getObjectID()) + " 0 obj";
    bytes.replace(bytes.indexOf("<<", bytes.indexOf(firstPage)), 2, "()");
    auto doc = QpdfLoader().openBytes(bytes, "in.pdf").document;
    ASSERT_TRUE(doc && doc->isPageDamaged(0));

    const QRectF crop(50, 60, 300, 400);
    for (int i = 0; i < 3; ++i)
        doc->setBoundsForBox(i, crop, PdfBox::Crop);
    const auto saved = QpdfLoader().openBytes(doc->dataRepresentation(), "out.pdf").document;
    ASSERT_TRUE(saved);
    for (int i = 0; i < 3; ++i) {
        const QRectF expected = i == 0 ? QRectF(0, 0, 612, 792) : crop;
        EXPECT_EQ(doc->boundsForBox(i, PdfBox::Crop), expected) << i;
        EXPECT_EQ(saved->boundsForBox(i, PdfBox::Crop), expected) << i;
    }
    // Saved to a file, the lost page is an empty page in its place, and the file is clean.
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(doc->writeToFile(dir.filePath("out.pdf"), &error)) << error.toStdString();
    EXPECT_TRUE(SavedFileCheck::readsCleanly(dir.filePath("out.pdf"), 3));
}

// A damaged tree: the first page sits under a node with its own media box and turn, but its
// /Parent entry is broken, so it is read, and shown, without them. Its rewrite gives it the
// boxes and the turn it was shown with, not those its node would hand down.
TEST(DamagedPageSaveTest, APageCutOffFromItsNodeSavesAsItWasShown) {
    const QByteArray bytes = "%PDF-1.4\n"
                             "1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
                             "2 0 obj << /Type /Pages /Kids [3 0 R 5 0 R] /Count 2 >> endobj\n"
                             "3 0 obj << /Type /Pages /Kids [4 0 R] /Count 1 /Parent 2 0 R "
                             "/MediaBox [-100 -50 400 650] /Rotate 90 >> endobj\n"
                             "4 0 obj << /Type /Page /Pare\nnt 3 0 R /Contents 6 0 R >> endobj\n"
                             "5 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] "
                             "/Contents 6 0 R >> endobj\n"
                             "6 0 obj << /Length 0 >> stream\n\nendstream endobj\n"
                             "trailer << /Root 1 0 R >>\n%%EOF\n";
    auto doc = QpdfLoader().openBytes(bytes, "in.pdf").document;
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->pageCount(), 2);
    const QRectF shown = doc->boundsForBox(0, PdfBox::Media);
    const QRectF crop = shown.adjusted(10, 20, -30, -40);
    doc->setBoundsForBox(0, crop, PdfBox::Crop);
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(doc->writeToFile(dir.filePath("out.pdf"), &error)) << error.toStdString();
    EXPECT_TRUE(SavedFileCheck::readsCleanly(dir.filePath("out.pdf"), 2));
    const auto saved = QpdfLoader().open(dir.filePath("out.pdf")).document;
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->boundsForBox(0, PdfBox::Media), shown);
    EXPECT_EQ(saved->boundsForBox(0, PdfBox::Crop), crop);
    EXPECT_EQ(saved->rotation(0), doc->rotation(0));
    EXPECT_EQ(saved->boundsForBox(1, PdfBox::Media), QRectF(0, 0, 300, 300));
}

// Adds one to the decimal number in bytes [at, end), keeping its width.
void addOne(QByteArray& bytes, qsizetype at, qsizetype end) {
    const QByteArray number = QByteArray::number(bytes.mid(at, end - at).toLongLong() + 1);
    bytes.replace(at, end - at, number.rightJustified(end - at, '0'));
}

// The check between an update and the saved file: an update that a strict reader would have
// to repair, wherever it is damaged, or that changes more than the pages set, does not pass,
// so the save rewrites the file instead; and the saved file must hold the source and the
// update, byte for byte.
TEST(QpdfReadBackTest, PassesOnlyUpdatesThatReadBackWithoutRepair) {
    const auto data = PdfSourceData::fromBytes(TestPdfBuilder().addPages(3).bytes());
    auto pdf = QpdfParser::parse(*data, {});
    std::vector<QPDFObjectHandle> pages = pdf->getAllPages();
    std::vector<PageGeometry> geometry = QpdfParser::readPages(*data, {});
    constexpr std::uint8_t kCrop = 1u << static_cast<int>(PdfBox::Crop);
    // The first and the last page changed, the one between them not.
    const std::vector<std::uint8_t> setBoxes{kCrop, 0, 1u << static_cast<int>(PdfBox::Trim)};
    geometry[0].box(PdfBox::Crop) = QRectF(10, 20, 300, 400.25);
    geometry[2].box(PdfBox::Trim) = QRectF(30, 40, 200, 100);
    const auto build = [&](const std::vector<std::uint8_t>& set) {
        return QpdfUpdateBuilder::build(*pdf, *data, pages, geometry, set,
                                        OriginalBoxesEntry(QDateTime::currentDateTime(), true))
            .value()
            .bytes();
    };
    const auto readsBack = [&](const QByteArray& appended) {
        return QpdfReadBack::updateReadsBack(*data, appended, {}, pages, geometry, setBoxes);
    };
    const QByteArray sound = build(setBoxes);
    EXPECT_TRUE(readsBack(sound));
    const qsizetype table = sound.indexOf("xref\n") + 5, entry = sound.indexOf(" 00000 n"),
                    last = sound.lastIndexOf(" 00000 n"),
                    startxref = sound.lastIndexOf("startxref\n") + 10;
    QByteArray damaged = sound;
    damaged.remove(table, sound.indexOf("trailer") - table);
    EXPECT_FALSE(readsBack(damaged)) << "empty cross-reference section";
    damaged = sound;
    addOne(damaged, startxref, sound.indexOf('\n', startxref));
    EXPECT_FALSE(readsBack(damaged)) << "startxref one byte off";
    damaged = sound;
    addOne(damaged, entry - 10, entry);
    EXPECT_FALSE(readsBack(damaged)) << "the first page one byte past where the table says";
    damaged = sound;
    addOne(damaged, last - 10, last);
    EXPECT_FALSE(readsBack(damaged)) << "the last page one byte past where the table says";
    geometry[1].box(PdfBox::Crop) = QRectF(5, 5, 100, 100);
    EXPECT_FALSE(readsBack(build({kCrop, kCrop, kCrop}))) << "a page changed that was not set";
    geometry[2].box(PdfBox::Trim) = QRectF(30, 40, 200, 101);
    EXPECT_FALSE(readsBack(sound)) << "a page that does not hold its boxes";

    // The file the update went into.
    const auto file = [&](const QByteArray& bytes) {
        return QpdfReadBack::fileReadsBack(*PdfSourceData::fromBytes(bytes), *data, {}, geometry,
                                           setBoxes,
                                           WrittenObjects::appendedTo(data->size(), sound));
    };
    const QByteArray whole = data->bytes().toByteArray() + sound;
    EXPECT_TRUE(file(whole));
    // In the source's cross-reference section, which the update points back to, and anywhere in
    // the update.
    const qsizetype sourceXref = data->bytes().lastIndexOf("\nxref") + 1;
    for (const qsizetype at : {sourceXref, data->size(), data->size() + 40, whole.size() - 1}) {
        QByteArray changed = whole;
        changed[at] = char(changed[at] ^ 1);
        EXPECT_FALSE(file(changed)) << "a byte changed at " << at;
    }
    EXPECT_FALSE(file(whole.chopped(1))) << "cut short";
    EXPECT_FALSE(file(whole + '\n')) << "a byte too many";
}

// A file of two pages, the first with count names that qpdf warns of (a stray "#"), and its
// page content made unreadable with brokenContent.
QByteArray flawedFile(int count, bool brokenContent = false) {
    QByteArray names;
    for (int i = 0; i < count; ++i)
        names += "/Na#me" + QByteArray::number(i) + " 1 ";
    QByteArray bytes = TestPdfBuilder()
                           .addPage({.content = "0 0 1 rg 10 10 50 50 re f",
                                     .pieceInfo = "<< /Tool << /Private << " + names + ">> >> >>"})
                           .addPage({})
                           .bytes();
    if (brokenContent) {
        // Overwritten in place, so that the file stays whole.
        const qsizetype data = bytes.indexOf("stream\n", bytes.indexOf("/FlateDecode")) + 7;
        bytes.replace(data, 4, "xxxx");
    }
    return bytes;
}

struct CarriedCase {
    const char* name;
    QByteArray source;
    QByteArray saved;
    bool readsBack;
};

class CarriedOnTest : public testing::TestWithParam<CarriedCase> {};

// A saved file may have a problem that its source has, as often as it does, and a stream that
// does not read where its source stream did not, but nothing more.
TEST_P(CarriedOnTest, ASavedFileReadsBackOnlyAsWellAsItsSource) {
    QTemporaryDir dir;
    const QString saved = writeFile(dir.filePath("out.pdf"), GetParam().saved);
    const auto source = PdfSourceData::fromBytes(GetParam().source);
    const std::vector<PageGeometry> pages =
        QpdfParser::readPages(*PdfSourceData::fromBytes(GetParam().saved), {});
    // Every object written, under the numbers it has in the source.
    std::map<int, WrittenObjects::Id> sameNumbers;
    for (int number = 1; number < 100; ++number)
        sameNumbers[number] = {number, 0};
    EXPECT_EQ(QpdfReadBack::fileReadsBack(saved, *source, {}, pages, std::vector<std::uint8_t>(2),
                                          WrittenObjects::rewritten(sameNumbers)),
              GetParam().readsBack);
}

const CarriedCase kCarried[] = {
    {"CleanStaysClean", flawedFile(0), flawedFile(1), false},
    {"FlawCarriedOn", flawedFile(2), flawedFile(2), true},
    {"FlawAdded", flawedFile(1), flawedFile(2), false},
    {"StreamBrokenBySaving", flawedFile(0), flawedFile(0, true), false},
    {"StreamBrokenBefore", flawedFile(0, true), flawedFile(0, true), true},
};

INSTANTIATE_TEST_SUITE_P(Files, CarriedOnTest, testing::ValuesIn(kCarried), CaseName());

// Saves from a source that is damaged, and so rewritten, or sound, and so updated or copied.
class SourceTest : public testing::TestWithParam<bool> {
protected:
    QTemporaryDir dir;
};

// A save is read back before it replaces anything. One whose pages hold what the document
// holds goes through, even with boxes that readers clip; one that does not fails the check.
TEST_P(SourceTest, OnlyASaveThatReadsBackAsTheDocumentPasses) {
    const QByteArray bytes = TestPdfBuilder()
                                 .addPage({})
                                 .addPage({.mediaBox = QRectF(0, 0, 612, 777.125)})
                                 .addPage({})
                                 .layOut({.wrongStartxref = GetParam()})
                                 .bytes();
    auto result = openFile(dir.filePath("in.pdf"), bytes);
    ASSERT_TRUE(result.ok());
    // A crop box beyond the media box, and a media box that clips the crop box left alone.
    result.document->setBoundsForBox(0, QRectF(-10, 10, 700, 300), PdfBox::Crop);
    result.document->setBoundsForBox(2, QRectF(0, 0, 300, 300), PdfBox::Media);
    const QString target = dir.filePath("out.pdf");
    QString error;
    ASSERT_TRUE(result.document->writeToFile(target, &error)) << error.toStdString();
    EXPECT_TRUE(SavedFileCheck::readsCleanly(target, 3));
    const QByteArray saved = readFile(target);
    EXPECT_EQ(saved.startsWith(bytes), !GetParam()) << "saved as an update";

    // Read back as other pages than the document's, the file fails the check.
    std::vector<PageGeometry> pages = QpdfParser::readPages(*PdfSourceData::fromBytes(saved), {});
    const std::vector<std::uint8_t> setBoxes(3, 0);
    const auto source = PdfSourceData::fromBytes(bytes);
    const auto written = WrittenObjects::rewritten({});
    EXPECT_TRUE(QpdfReadBack::fileReadsBack(target, *source, {}, pages, setBoxes, written));
    pages[1].box(PdfBox::Media).setWidth(600);
    EXPECT_FALSE(QpdfReadBack::fileReadsBack(target, *source, {}, pages, setBoxes, written));
}

// A save onto a file system with room for little: a small tmpfs, where this process may mount
// one.
TEST_P(SourceTest, FailedWriteSaysTheDiskIsFullAndKeepsTheExistingFile) {
    const QString small = dir.filePath("small");
    QDir().mkpath(small);
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", small}) != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {small}); });
    const TestPage page{.content = QByteArray(400, ' ') + "0 0 1 rg 10 10 50 50 re f"};
    const QByteArray bytes =
        TestPdfBuilder().addPages(400, page).layOut({.wrongStartxref = GetParam()}).bytes();
    auto result = openFile(dir.filePath("in.pdf"), bytes);
    ASSERT_TRUE(result.ok());
    const QString target = writeFile(QDir(small).filePath("out.pdf"), "keep me");

    QString error;
    EXPECT_FALSE(result.document->writeToFile(target, &error));
    EXPECT_EQ(error.toStdString(), "There is not enough space on the disk to save “out.pdf”.");
    EXPECT_EQ(readFile(target), "keep me");
    EXPECT_EQ(QDir(small).entryList(QDir::Files), QStringList{"out.pdf"});
    EXPECT_FALSE(result.document->writeToFile(dir.filePath("missing/out.pdf"), &error));
    EXPECT_EQ(error, "The folder “" + dir.filePath("missing") + "” does not exist.");
}

INSTANTIATE_TEST_SUITE_P(Damaged, SourceTest, testing::Bool(),
                         [](const auto& p) { return p.param ? "damaged" : "sound"; });

struct OutsideChange {
    const char* name;
    void (*apply)(const QString& path);
    // Made at every page end of the save, after it began reading the file.
    bool whileSaving = false;
    // Whether the bytes that were opened are affected.
    bool changesOpenedBytes = true;
};

class FileChangedOnDiskTest : public testing::TestWithParam<OutsideChange> {};

// Whatever another program does to the open file, a save from it either writes the document as
// opened or fails, saying why and leaving the target as it was.
TEST_P(FileChangedOnDiskTest, ReadsOnAndSavesOnlyTheFileAsOpened) {
    const OutsideChange& change = GetParam();
    QTemporaryDir dir;
    const TestPage page{.content = QByteArray(400, ' ') + "0 0 1 rg 10 10 50 50 re f"};
    const QByteArray original = TestPdfBuilder().addPages(40, page).bytes();
    QFile in(writeFile(dir.filePath("in.pdf"), original));
    // Dated well before now, so that any later write shows in the modification time.
    in.open(QIODevice::ReadWrite);
    in.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    auto opened = QpdfLoader().open(in.fileName());
    ASSERT_TRUE(opened.ok());
    PdfDocument& doc = *opened.document;
    doc.setBoundsForBox(1, QRectF(10, 20, 300, 400), PdfBox::Crop);
    const QString target = writeFile(dir.filePath("out.pdf"), "keep me");

    QObject observer;
    if (change.whileSaving) {
        NotificationCenter::defaultCenter().addObserver(
            &observer, PdfWriteNotifications::didEndPageWrite,
            [&](const Notification&) { change.apply(in.fileName()); }, &doc);
    } else {
        change.apply(in.fileName());
    }
    QString error;
    EXPECT_EQ(doc.writeToFile(target, &error), !change.changesOpenedBytes) << error.toStdString();
    const QByteArrayView bytes = doc.renderSource().data->bytes();
    EXPECT_EQ(QByteArray(bytes.data(), bytes.size()) == original, !change.changesOpenedBytes);

    EXPECT_EQ(doc.fileChangedSinceOpened(), change.changesOpenedBytes);
    if (change.changesOpenedBytes) {
        EXPECT_EQ(error.toStdString(),
                  "“in.pdf” was changed by another program after Cropmark opened it, so it can "
                  "no longer be saved from this window. Open the file again to crop its new "
                  "version.");
        EXPECT_EQ(readFile(target), "keep me");
    } else {
        EXPECT_TRUE(SavedFileCheck::readsCleanly(target, 40));
        EXPECT_TRUE(readFile(target).startsWith(original));
    }
}

// Same size, so no read faults: only the modification time tells.
void changeOneByte(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.seek(file.size() / 2);
    file.write("#");
}

// As an editor that saves safely replaces it, or a save over it.
void replaceByRename(const QString& path) {
    writeFile(path + "~", "%PDF-1.7 another document");
    std::rename(QFile::encodeName(path + "~").constData(), QFile::encodeName(path).constData());
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FileChangedOnDiskTest,
    testing::Values(OutsideChange{"overwritten",
                                  [](const QString& path) { writeFile(path, "%PDF-1.7 other"); }},
                    OutsideChange{"oneByteChangedInPlace", changeOneByte},
                    OutsideChange{
                        "truncatedWhileSaving",
                        [](const QString& path) { QFile(path).resize(QFile(path).size() / 2); },
                        true},
                    OutsideChange{"replacedByRename", replaceByRename, false, false}),
    CaseName());

// The user agreed to replace the file that was there; another program's newer one stays.
TEST(SaveTargetTest, ATargetReplacedWhileSavingIsLeftAsTheOtherProgramMadeIt) {
    QTemporaryDir dir;
    auto opened =
        QpdfLoader().open(writeFile(dir.filePath("in.pdf"), TestPdfBuilder().addPages(3).bytes()));
    ASSERT_TRUE(opened.ok());
    const QString target = writeFile(dir.filePath("out.pdf"), "first");
    QObject observer;
    NotificationCenter::defaultCenter().addObserver(
        &observer, PdfWriteNotifications::didEndPageWrite,
        [&](const Notification&) {
            if (readFile(target) == "first")
                replaceByRename(target);
        },
        opened.document.get());
    QString error;
    EXPECT_FALSE(opened.document->writeToFile(target, &error));
    EXPECT_EQ(error.toStdString(), "“out.pdf” was changed by another program while Cropmark saved "
                                   "over it, so it was left as that program made it.");
    EXPECT_EQ(readFile(target), "%PDF-1.7 another document");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no leftovers";
}

} // namespace
