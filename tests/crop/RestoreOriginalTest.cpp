// Getting the uncropped pages back after the cropped file was saved and reopened: the boxes a
// page had before it was first cropped travel in the saved file and come back on request.

#include "crop/CropSession.h"
#include "crop/QpdfLoader.h"
#include "tests/support/ExpectNear.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <tuple>

namespace {

using Boxes = std::array<QRectF, kPdfBoxCount>;

// Crops as the page view reports them for a page it shows 573 points along its longer side.
const QRectF kBoxView(72, 72, 144, 216);
const QRectF kStripView(36, 300, 400, 100);

// The pages of the tests' file: turned pages, and crop boxes and media boxes whose origins are
// away from 0, so that a box written in the wrong space does not come back right by chance.
TestPdfBuilder mixedPages(const QByteArray& otherPieceInfo = {}, bool indirectPieceInfo = false) {
    TestPdfBuilder builder;
    builder.addPage({.cropBox = QRectF(30.25, 40, 500, 700), .rotate = 90})
        .addPage({.mediaBox = QRectF(-50, -60, 700, 900),
                  .cropBox = QRectF(20, 30, 400.5, 500),
                  .rotate = 270})
        .addPage({.bleedBox = QRectF(10, 10, 590, 770),
                  .pieceInfo = otherPieceInfo,
                  .indirectPieceInfo = indirectPieceInfo})
        .addPage({.mediaBox = QRectF(10, 20, 595.3, 842), .rotate = 180});
    return builder;
}
constexpr int kPageCount = 4;

Boxes boxesOf(const PdfDocument& document, int page) {
    Boxes boxes;
    for (int box = 0; box < kPdfBoxCount; ++box)
        boxes[size_t(box)] = document.boundsForBox(page, static_cast<PdfBox>(box));
    return boxes;
}

// A box's corners exactly, not to within Qt's fuzzy comparison.
std::vector<std::array<double, 4>> exactly(const Boxes& boxes) {
    std::vector<std::array<double, 4>> corners;
    for (const QRectF& box : boxes)
        corners.push_back({box.left(), box.top(), box.right(), box.bottom()});
    return corners;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The page dictionaries of a file as written.
std::vector<QPDFObjectHandle> pagesOf(QPDF& pdf, const QByteArray& bytes,
                                      const QByteArray& password) {
    pdf.processMemoryFile("saved", bytes.constData(), size_t(bytes.size()),
                          password.isEmpty() ? nullptr : password.constData());
    return pdf.getAllPages();
}

struct Source {
    const char* name;
    TestPdfLayout layout = {};
    QByteArray password = {};
    // Whether the first save, and the ones after it, append to the file they were opened from:
    // a damaged file is rewritten once, repaired; in an encrypted file, the kept boxes' dates
    // are strings to encrypt, which qpdf does in a rewrite.
    bool firstSaveAppends = true;
    bool laterSavesAppend = true;
};

void PrintTo(const Source& source, std::ostream* out) {
    *out << source.name;
}

class RestoreOriginalTest : public testing::TestWithParam<std::tuple<Source, int>> {
protected:
    const Source& source() const { return std::get<0>(GetParam()); }

    CropSession open(const QString& path) {
        PdfOpenResult opened = QpdfLoader().open(path);
        EXPECT_TRUE(opened.ok()) << opened.message.toStdString();
        CropSession session(std::move(opened.document));
        if (!source().password.isEmpty()) {
            EXPECT_TRUE(session.unlockWithPassword(source().password));
            session.rebuildRecords();
        }
        return session;
    }

    // Saves the session's applied boxes under a new name, checks the file, says whether it
    // appended to the file it was opened from, and returns its path.
    QString save(CropSession& session, const QString& openedFrom) {
        const QString path = dir_.filePath(QString("saved%1.pdf").arg(++saves_));
        QString error;
        EXPECT_TRUE(session.pdfDoc().writeToFile(path, &error)) << error.toStdString();
        EXPECT_TRUE(SavedFileCheck::readsCleanly(path, kPageCount, source().password));
        const bool appends = readFile(path).startsWith(readFile(openedFrom));
        EXPECT_EQ(appends, saves_ == 1 ? source().firstSaveAppends : source().laterSavesAppend)
            << "save " << saves_;
        return path;
    }

    QTemporaryDir dir_;
    int saves_ = 0;
};

// Crop, save, reopen, as many rounds as the parameter says, then restore: every page comes
// back with the five boxes of the very first file, and then nothing is left to restore.
TEST_P(RestoreOriginalTest, SavedCropsComeBackOffAfterAnyNumberOfRounds) {
    const Source& c = source();
    const int rounds = std::get<1>(GetParam());
    TestPdfBuilder builder = mixedPages();
    builder.layOut(c.layout);
    if (!c.password.isEmpty())
        builder.encrypt(c.password, "owner");
    QString path = builder.writeTo(dir_.filePath("first.pdf"));

    CropSession s = open(path);
    std::vector<Boxes> first;
    for (int i = 0; i < kPageCount; ++i)
        first.push_back(boxesOf(s.pdfDoc(), i));
    EXPECT_FALSE(s.canRestoreOriginal()) << "a file never saved cropped";
    EXPECT_FALSE(s.restoreOriginal());
    EXPECT_FALSE(s.isCroppedSomePage());

    for (int round = 0; round < rounds; ++round) {
        // The third page is cropped in every round, the first two in one each.
        s.setCurrentIndex(round);
        s.cropIsFinishedWithRect(kBoxView);
        s.setCurrentIndex(2);
        s.cropIsFinishedWithRect(kStripView);
        s.done();
        path = save(s, path);
        s = open(path);
        ASSERT_TRUE(s.canRestoreOriginal());
        // The untouched last page kept all its boxes, so it has nothing to restore.
        for (int i = 0; i < kPageCount; ++i) {
            const auto kept = s.pdfDoc().keptOriginalBoxes(i);
            EXPECT_EQ(kept.has_value(), i != 3) << i;
            if (kept) {
                EXPECT_EQ(exactly(*kept), exactly(first[size_t(i)])) << i;
            }
        }
    }

    EXPECT_TRUE(s.restoreOriginal());
    EXPECT_TRUE(s.isCroppedSomePage()) << "a pending restore is unsaved work";
    s.done();
    EXPECT_FALSE(s.canRestoreOriginal());
    const QString restored = save(s, path);
    s = open(restored);
    EXPECT_FALSE(s.canRestoreOriginal());
    for (int i = 0; i < kPageCount; ++i) {
        EXPECT_EQ(exactly(boxesOf(s.pdfDoc(), i)), exactly(first[size_t(i)])) << i;
        EXPECT_FALSE(s.pdfDoc().keptOriginalBoxes(i)) << i;
    }
    QPDF pdf;
    for (QPDFObjectHandle page : pagesOf(pdf, readFile(restored), c.password))
        EXPECT_FALSE(page.hasKey("/PieceInfo")) << "the emptied /PieceInfo goes too";
}

INSTANTIATE_TEST_SUITE_P(
    Sources, RestoreOriginalTest,
    testing::Combine(testing::Values(Source{"classicXref"},
                                     Source{"xrefStream", {.objectStreams = true}},
                                     Source{"repaired", {.wrongStartxref = true}, {}, false, true},
                                     Source{"encrypted", {}, "user", false, false}),
                     testing::Values(1, 2)),
    [](const auto& p) {
        return std::string(std::get<0>(p.param).name) + "_" + std::to_string(std::get<1>(p.param)) +
               "rounds";
    });

// How a save writes the file of OtherPieceInfoTest.
enum class SavePath { Updated, RewrittenRepaired, RewrittenEncrypted };

// Another application's data in a page's /PieceInfo stays there, in the page or referred to,
// through a crop and a restore, whether the file is updated or rewritten; an update writes the
// page again and nothing else. The parameters: whether the data is in indirect objects, and
// how the file is saved.
class OtherPieceInfoTest : public testing::TestWithParam<std::tuple<bool, SavePath>> {};

TEST_P(OtherPieceInfoTest, AnotherApplicationsEntryIsKept) {
    QTemporaryDir dir;
    const auto [indirect, savePath] = GetParam();
    const QByteArray password = savePath == SavePath::RewrittenEncrypted ? "user" : "";
    const QByteArray other = "<< /OtherApp << /LastModified (D:20200101000000Z) "
                             "/Private << /Note (kept) >> >> >>";
    TestPdfBuilder builder = mixedPages(other, indirect);
    builder.layOut({.wrongStartxref = savePath == SavePath::RewrittenRepaired});
    if (!password.isEmpty())
        builder.encrypt(password, "owner");
    const QString first = builder.writeTo(dir.filePath("first.pdf"));
    QPDF opened;
    opened.setSuppressWarnings(true);
    const QPDFObjectHandle otherEntry =
        pagesOf(opened, readFile(first), password)[2].getKey("/PieceInfo").getKey("/OtherApp");
    const auto open = [&](const QString& file) {
        CropSession session(QpdfLoader().open(file).document);
        EXPECT_TRUE(session.unlockWithPassword(password));
        session.rebuildRecords();
        return session;
    };

    auto save = [&](CropSession& session, const QString& name) {
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(session.pdfDoc().writeToFile(path, &error)) << error.toStdString();
        EXPECT_TRUE(SavedFileCheck::readsCleanly(path, kPageCount, password));
        return path;
    };
    CropSession s = open(first);
    s.setCurrentIndex(2);
    s.cropIsFinishedWithRect(kBoxView);
    s.done();
    const QString cropped = save(s, "cropped.pdf");
    const QByteArray croppedBytes = readFile(cropped);
    EXPECT_EQ(croppedBytes.startsWith(readFile(first)), savePath == SavePath::Updated);
    if (savePath == SavePath::Updated) {
        // "Done" sets the boxes of every page, so each page is written again, and nothing else.
        EXPECT_EQ(croppedBytes.mid(readFile(first).size()).count(" obj"), kPageCount);
    }

    s = open(cropped);
    ASSERT_TRUE(s.pdfDoc().keptOriginalBoxes(2));
    s.restoreOriginal();
    s.done();
    const QString restored = save(s, "restored.pdf");

    for (const QString& saved : {cropped, restored}) {
        QPDF pdf;
        QPDFObjectHandle pieces = pagesOf(pdf, readFile(saved), password)[2].getKey("/PieceInfo");
        EXPECT_FALSE(pieces.isIndirect());
        EXPECT_EQ(pieces.hasKey("/Cropmark"), saved == cropped);
        QPDFObjectHandle entry = pieces.getKey("/OtherApp");
        EXPECT_EQ(entry.isIndirect(), indirect);
        if (indirect && savePath == SavePath::Updated) {
            EXPECT_EQ(entry.getObjGen(), otherEntry.getObjGen());
        }
        EXPECT_EQ(entry.getKey("/Private").getKey("/Note").getUTF8Value(), "kept");
    }
}

std::string nameOf(const std::tuple<bool, SavePath>& param) {
    const auto [indirect, savePath] = param;
    const char* const paths[] = {"updated", "rewrittenRepaired", "rewrittenEncrypted"};
    return std::string(indirect ? "indirect_" : "inPage_") + paths[static_cast<int>(savePath)];
}

INSTANTIATE_TEST_SUITE_P(Placement, OtherPieceInfoTest,
                         testing::Combine(testing::Bool(),
                                          testing::Values(SavePath::Updated,
                                                          SavePath::RewrittenRepaired,
                                                          SavePath::RewrittenEncrypted)),
                         [](const auto& p) { return nameOf(p.param); });

// A pending restore is a pending change like a crop: "Revert All" drops it, and so does a
// later crop of its page, alone, carried by a batch or fitted to content; "Done" writes the
// others.
TEST(RestorePendingTest, RevertAllAndLaterCropsDropIt) {
    QTemporaryDir dir;
    const TestPage turned{.cropBox = QRectF(30.5, 40, 500, 700), .rotate = 90};
    const QString first = TestPdfBuilder().addPages(3, turned).writeTo(dir.filePath("first.pdf"));
    const auto original = QpdfLoader().open(first).document;
    CropSession s(QpdfLoader().open(first).document);
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"1 - 3"});
    s.cropIsFinishedWithRect(kStripView);
    s.done();
    const QString cropped = dir.filePath("cropped.pdf");
    ASSERT_TRUE(s.pdfDoc().writeToFile(cropped, nullptr));
    ASSERT_TRUE(SavedFileCheck::readsCleanly(cropped, 3));

    s = CropSession(QpdfLoader().open(cropped).document);
    const QRectF strip = s.pdfDoc().boundsForBox(0, PdfBox::Crop);
    ASSERT_TRUE(s.restoreOriginal());
    s.revertAll();
    EXPECT_FALSE(s.isCroppedSomePage());
    s.done();
    for (int i = 0; i < 3; ++i) {
        for (const QRectF& box : boxesOf(s.pdfDoc(), i))
            expectNear(box, strip);
    }

    ASSERT_TRUE(s.restoreOriginal());
    s.setCurrentIndex(0);
    s.cropIsFinishedWithRect(kBoxView);
    s.setBatchCrop(true);
    s.applyPageRangeSettingWithPageArray({"2 - 2"}); // the first page's crop, on the second
    EXPECT_TRUE(s.isCroppedSomePage());
    s.done();
    const QRectF box = s.pdfDoc().boundsForBox(0, PdfBox::Crop);
    EXPECT_TRUE(strip.contains(box) && box.width() < strip.width()) << "cropped further";
    for (int i = 0; i < 2; ++i) {
        for (const QRectF& kept : boxesOf(s.pdfDoc(), i))
            expectNear(kept, box);
    }
    EXPECT_EQ(exactly(boxesOf(s.pdfDoc(), 2)), exactly(boxesOf(*original, 2)));

    // A fit to content is a crop too.
    ASSERT_TRUE(s.restoreOriginal()); // the first two pages
    s.setBatchCrop(false);
    s.setCurrentIndex(1);
    const QRectF content(box.center() - QPointF(10, 20), QSizeF(20, 40));
    s.fitToContent({{2, content}}, {}, false);
    s.done();
    EXPECT_EQ(exactly(boxesOf(s.pdfDoc(), 0)), exactly(boxesOf(*original, 0)));
    expectNear(s.pdfDoc().boundsForBox(1, PdfBox::Crop), content);
    EXPECT_TRUE(s.canRestoreOriginal()) << "the second page";
}

// What another program, or damage, left under our key is not taken for kept boxes; the first
// crop saved then keeps the page's boxes as it was opened.
class KeptEntryTest : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(KeptEntryTest, OnlyFiveBoxesWithAreaAreKept) {
    QTemporaryDir dir;
    const QByteArray five = "/MediaBox [0 0 700 800] /CropBox [10 20 600 700] "
                            "/BleedBox [10 20 600 700] /TrimBox [10 20 600 700] ";
    QByteArray pieces = QByteArray("<< /Cropmark ") + GetParam().second + " >>";
    pieces.replace("FIVE", five);
    const QString path =
        TestPdfBuilder().addPage({.pieceInfo = pieces}).writeTo(dir.filePath("in.pdf"));
    PdfOpenResult opened = QpdfLoader().open(path);
    ASSERT_TRUE(opened.ok());
    const auto kept = opened.document->keptOriginalBoxes(0);
    const bool valid = std::string(GetParam().first) == "valid";
    ASSERT_EQ(kept.has_value(), valid);
    const Boxes expected = valid ? *kept : boxesOf(*opened.document, 0);
    if (valid) {
        EXPECT_EQ(exactly(*kept), exactly({QRectF(0, 0, 700, 800), QRectF(10, 20, 590, 680),
                                           QRectF(10, 20, 590, 680), QRectF(10, 20, 590, 680),
                                           QRectF(10, 20, 590, 680)}));
    }

    CropSession s(std::move(opened.document));
    s.cropIsFinishedWithRect(kBoxView);
    s.done();
    const QString saved = dir.filePath("saved.pdf");
    ASSERT_TRUE(s.pdfDoc().writeToFile(saved, nullptr));
    EXPECT_TRUE(SavedFileCheck::readsCleanly(saved, 1));
    const auto reopened = QpdfLoader().open(saved).document;
    ASSERT_TRUE(reopened && reopened->keptOriginalBoxes(0));
    EXPECT_EQ(exactly(*reopened->keptOriginalBoxes(0)), exactly(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, KeptEntryTest,
    testing::Values(std::pair("valid", "<< /Private << FIVE /ArtBox [600 700 10 20] >> >>"),
                    std::pair("boxMissing", "<< /Private << FIVE >> >>"),
                    std::pair("boxWithoutArea", "<< /Private << FIVE /ArtBox [10 20 10 700] >> >>"),
                    std::pair("boxNotNumbers", "<< /Private << FIVE /ArtBox [10 20 (a) 700] >> >>"),
                    std::pair("privateNotDictionary", "<< /Private [0 0 612 792] >>"),
                    std::pair("entryNotDictionary", "42")),
    [](const auto& p) { return std::string(p.param.first); });

} // namespace
