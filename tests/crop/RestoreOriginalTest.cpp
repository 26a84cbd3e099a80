// Getting the uncropped pages back after the cropped file was saved and reopened: the boxes a
// page had before it was first cropped travel in the saved file and come back on request.

#include "crop/CropSession.h"
#include "crop/QpdfLoader.h"
#include "tests/support/CaseName.h"
#include "tests/support/ExpectNear.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

using ::PrintTo;

using Boxes = std::array<QRectF, kPdfBoxCount>;

// Crops as the page view reports them for a page it shows 573 points along its longer side.
const QRectF kBoxView(72, 72, 144, 216);
const QRectF kStripView(36, 300, 400, 100);

constexpr int kPageCount = 4;

Boxes boxesOf(const PdfDocument& document, int page) {
    Boxes boxes;
    for (int box = 0; box < kPdfBoxCount; ++box)
        boxes[size_t(box)] = document.boundsForBox(page, static_cast<PdfBox>(box));
    return boxes;
}

// Boxes' corners exactly, not to within Qt's fuzzy comparison.
using Corners = std::vector<std::array<double, 4>>;

Corners exactly(const Boxes& boxes) {
    Corners corners;
    for (const QRectF& box : boxes)
        corners.push_back({box.left(), box.top(), box.right(), box.bottom()});
    return corners;
}

// A page's kept boxes exactly; none when it has none.
Corners keptOf(const PdfDocument& document, int page) {
    const auto kept = document.keptOriginalBoxes(page);
    return kept ? exactly(*kept) : Corners();
}

// Opens and saves files as the user does, checking every file written.
class SessionFiles {
public:
    explicit SessionFiles(QByteArray password = {}) : password_(std::move(password)) {}

    QString path(const QString& name) const { return dir_.filePath(name); }

    std::unique_ptr<CropSession> open(const QString& file) const {
        PdfOpenResult opened = QpdfLoader().open(file);
        EXPECT_TRUE(opened.ok()) << opened.message.toStdString();
        auto session = std::make_unique<CropSession>(std::move(opened.document));
        if (!password_.isEmpty()) {
            EXPECT_TRUE(session->unlockWithPassword(password_));
            session->rebuildRecords();
        }
        return session;
    }

    // Saves the session's applied boxes as name and returns the file's path.
    QString save(const CropSession& session, const QString& name, int pageCount) const {
        QString error;
        EXPECT_TRUE(session.pdfDoc().writeToFile(path(name), &error)) << error.toStdString();
        EXPECT_TRUE(SavedFileCheck::readsCleanly(path(name), pageCount, password_));
        return path(name);
    }

    // The page dictionaries of a file as written. qpdf reads objects from the file as they
    // are asked for, so it reads the file itself rather than bytes that would go before it.
    std::vector<QPDFObjectHandle> pagesOf(QPDF& pdf, const QString& file) const {
        pdf.setSuppressWarnings(true);
        pdf.processFile(QFile::encodeName(file).constData(),
                        password_.isEmpty() ? nullptr : password_.constData());
        return pdf.getAllPages();
    }

private:
    QTemporaryDir dir_;
    QByteArray password_;
};

struct Source {
    const char* name;
    TestPdfLayout layout = {};
    QByteArray password = {};
    // Whether the first save, and the ones after it, append to the file they were opened from:
    // a damaged file is rewritten once, repaired; in an encrypted file, the kept boxes' dates
    // are strings to encrypt, which qpdf does in a rewrite.
    bool firstSaveAppends = true;
    bool laterSavesAppend = true;
    // Whether another application's entry in the third page's /PieceInfo is held in indirect
    // objects rather than in the page.
    bool otherEntryIndirect = false;
};

class RestoreOriginalTest : public testing::TestWithParam<Source> {};

// Crop, save, reopen, twice, then restore: every page comes back with the five boxes of the
// very first file, and then nothing is left to restore. Another application's data in a page's
// /PieceInfo stays there all along, in the page or referred to, whether the file is updated or
// rewritten; an update writes the pages again and nothing else.
TEST_P(RestoreOriginalTest, SavedCropsComeBackOffAfterTwoRoundsAndOtherEntriesStay) {
    const Source& c = GetParam();
    const SessionFiles files(c.password);
    // Turned pages, and crop boxes and media boxes whose origins are away from 0, so that a box
    // written in the wrong space does not come back right by chance.
    TestPdfBuilder builder;
    builder.addPage({.cropBox = QRectF(30.25, 40, 500, 700), .rotate = 90})
        .addPage({.mediaBox = QRectF(-50, -60, 700, 900),
                  .cropBox = QRectF(20, 30, 400.5, 500),
                  .rotate = 270})
        .addPage({.bleedBox = QRectF(10, 10, 590, 770),
                  .pieceInfo = "<< /OtherApp << /LastModified (D:20200101000000Z) "
                               "/Private << /Note (kept) >> >> >>",
                  .indirectPieceInfo = c.otherEntryIndirect})
        .addPage({.mediaBox = QRectF(10, 20, 595.3, 842), .rotate = 180})
        .layOut(c.layout);
    if (!c.password.isEmpty())
        builder.encrypt(c.password, "owner");
    QString path = builder.writeTo(files.path("first.pdf"));
    std::unique_ptr<CropSession> session = files.open(path);
    std::vector<Boxes> first;
    for (int i = 0; i < kPageCount; ++i)
        first.push_back(boxesOf(session->pdfDoc(), i));
    EXPECT_FALSE(session->canRestoreOriginal()) << "a file never saved cropped";
    EXPECT_FALSE(session->restoreOriginal());
    EXPECT_FALSE(session->isCroppedSomePage());

    // Saves under a new name, checking which way the file was written and the other entry.
    int saves = 0;
    const auto save = [&](bool cropped) {
        QPDF before;
        const QPDFObjGen other =
            files.pagesOf(before, path)[2].getKey("/PieceInfo").getKey("/OtherApp").getObjGen();
        const QString saved = files.save(*session, QString("saved%1.pdf").arg(++saves), kPageCount);
        const bool appended = readFile(saved).startsWith(readFile(path));
        EXPECT_EQ(appended, saves == 1 ? c.firstSaveAppends : c.laterSavesAppend) << saves;
        if (appended && saves == 1) {
            // "Done" sets the boxes of every page, so each page is written again, and nothing
            // else but a cross-reference stream where the file has them.
            const QByteArray update = readFile(saved).mid(readFile(path).size());
            EXPECT_EQ(update.count(" obj") - update.count("/Type /XRef"), kPageCount);
        }
        QPDF pdf;
        QPDFObjectHandle pieces = files.pagesOf(pdf, saved)[2].getKey("/PieceInfo");
        EXPECT_FALSE(pieces.isIndirect());
        EXPECT_EQ(pieces.hasKey("/Cropmark"), cropped);
        QPDFObjectHandle entry = pieces.getKey("/OtherApp");
        EXPECT_EQ(entry.isIndirect(), c.otherEntryIndirect);
        if (c.otherEntryIndirect && appended) {
            EXPECT_EQ(entry.getObjGen(), other) << "an update refers to the same objects";
        }
        EXPECT_EQ(entry.getKey("/Private").getKey("/Note").getUTF8Value(), "kept");
        path = saved;
        session = files.open(saved);
    };
    for (int round = 0; round < 2; ++round) {
        // The third page is cropped in every round, the first two in one each.
        session->setCurrentIndex(round);
        session->cropIsFinishedWithRect(kBoxView);
        session->setCurrentIndex(2);
        session->cropIsFinishedWithRect(kStripView);
        session->done();
        save(true);
        ASSERT_TRUE(session->canRestoreOriginal());
        // The untouched last page kept all its boxes, so it has nothing to restore.
        for (int i = 0; i < kPageCount; ++i)
            EXPECT_EQ(keptOf(session->pdfDoc(), i), i != 3 ? exactly(first[size_t(i)]) : Corners())
                << i;
    }

    EXPECT_TRUE(session->restoreOriginal());
    EXPECT_TRUE(session->isCroppedSomePage()) << "a pending restore is unsaved work";
    session->done();
    EXPECT_FALSE(session->canRestoreOriginal());
    save(false);
    EXPECT_FALSE(session->canRestoreOriginal());
    for (int i = 0; i < kPageCount; ++i)
        EXPECT_EQ(exactly(boxesOf(session->pdfDoc(), i)), exactly(first[size_t(i)])) << i;
    QPDF pdf;
    auto pages = files.pagesOf(pdf, path);
    for (int i : {0, 1, 3})
        EXPECT_FALSE(pages[size_t(i)].hasKey("/PieceInfo")) << "the emptied /PieceInfo goes too";
}

INSTANTIATE_TEST_SUITE_P(Sources, RestoreOriginalTest,
                         testing::Values(Source{"classicXref"},
                                         Source{.name = "xrefStream",
                                                .layout = {.objectStreams = true},
                                                .otherEntryIndirect = true},
                                         Source{.name = "repaired",
                                                .layout = {.wrongStartxref = true},
                                                .firstSaveAppends = false,
                                                .otherEntryIndirect = true},
                                         Source{"encrypted", {}, "user", false, false},
                                         Source{.name = "encryptedIndirect",
                                                .password = "user",
                                                .firstSaveAppends = false,
                                                .laterSavesAppend = false,
                                                .otherEntryIndirect = true}),
                         CaseName());

// A pending restore is a pending change like a crop: "Revert All" drops it, and so does a
// later crop of its page, alone, carried by a batch or fitted to content; "Done" writes the
// others.
TEST(RestorePendingTest, RevertAllAndLaterCropsDropIt) {
    const SessionFiles files;
    const TestPage turned{.cropBox = QRectF(30.5, 40, 500, 700), .rotate = 90};
    const QString first = TestPdfBuilder().addPages(3, turned).writeTo(files.path("first.pdf"));
    const auto original = QpdfLoader().open(first).document;
    std::unique_ptr<CropSession> session = files.open(first);
    session->setBatchCrop(true);
    session->applyPageRangeSettingWithPageArray({"1 - 3"});
    session->cropIsFinishedWithRect(kStripView);
    session->done();
    session = files.open(files.save(*session, "cropped.pdf", 3));
    const QRectF strip = session->pdfDoc().boundsForBox(0, PdfBox::Crop);
    ASSERT_TRUE(session->restoreOriginal());
    session->revertAll();
    EXPECT_FALSE(session->isCroppedSomePage());
    session->done();
    for (int i = 0; i < 3; ++i)
        expectNear(session->pdfDoc().boundsForBox(i, PdfBox::Media), strip);

    ASSERT_TRUE(session->restoreOriginal());
    session->setCurrentIndex(0);
    session->cropIsFinishedWithRect(kBoxView);
    session->setBatchCrop(true);
    session->applyPageRangeSettingWithPageArray({"2 - 2"}); // the first page's crop, on the second
    session->done();
    const QRectF box = session->pdfDoc().boundsForBox(0, PdfBox::Crop);
    EXPECT_TRUE(strip.contains(box) && box.width() < strip.width()) << "cropped further";
    expectNear(session->pdfDoc().boundsForBox(1, PdfBox::Media), box);
    EXPECT_EQ(exactly(boxesOf(session->pdfDoc(), 2)), exactly(boxesOf(*original, 2)));

    ASSERT_TRUE(session->restoreOriginal()); // the first two pages
    session->setBatchCrop(false);
    session->setCurrentIndex(1);
    const QRectF content(box.center() - QPointF(10, 20), QSizeF(20, 40));
    session->fitToContent({{2, content}}, {}, false);
    session->done();
    EXPECT_EQ(exactly(boxesOf(session->pdfDoc(), 0)), exactly(boxesOf(*original, 0)));
    expectNear(session->pdfDoc().boundsForBox(1, PdfBox::Crop), content);
    EXPECT_TRUE(session->canRestoreOriginal()) << "the second page";
}

// What another program, or damage, left under our key is not taken for kept boxes; the first
// crop saved then keeps the page's boxes as it was opened. Boxes are read as written, in any
// corner order.
struct KeptEntry {
    const char* name;
    // What is under our key in the page's /PieceInfo; FOUR stands for every box but the art box.
    const char* entry;
};

class KeptEntryTest : public testing::TestWithParam<KeptEntry> {};

TEST_P(KeptEntryTest, OnlyFiveBoxesWithAreaAreKept) {
    const SessionFiles files;
    QByteArray pieces = QByteArray("<< /Cropmark ") + GetParam().entry + " >>";
    pieces.replace("FOUR", "/MediaBox [0 0 700 800] /CropBox [10 20 600 700] "
                           "/BleedBox [10 20 600 700] /TrimBox [10 20 600 700]");
    const QString path =
        TestPdfBuilder().addPage({.pieceInfo = pieces}).writeTo(files.path("in.pdf"));
    std::unique_ptr<CropSession> session = files.open(path);
    const bool valid = std::string(GetParam().name) == "valid";
    const QRectF inner(10, 20, 590, 680);
    const Boxes expected = valid ? Boxes{QRectF(0, 0, 700, 800), inner, inner, inner, inner}
                                 : boxesOf(session->pdfDoc(), 0);
    EXPECT_EQ(keptOf(session->pdfDoc(), 0), valid ? exactly(expected) : Corners());

    session->cropIsFinishedWithRect(kBoxView);
    session->done();
    session = files.open(files.save(*session, "saved.pdf", 1));
    EXPECT_EQ(keptOf(session->pdfDoc(), 0), exactly(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, KeptEntryTest,
    testing::Values(KeptEntry{"valid", "<< /Private << FOUR /ArtBox [600 700 10 20] >> >>"},
                    KeptEntry{"boxMissing", "<< /Private << FOUR >> >>"},
                    KeptEntry{"boxWithoutArea", "<< /Private << FOUR /ArtBox [10 20 10 700] >> >>"},
                    KeptEntry{"boxNotNumbers", "<< /Private << FOUR /ArtBox [10 20 (a) 700] >> >>"},
                    KeptEntry{"privateNotDictionary", "<< /Private [0 0 612 792] >>"},
                    KeptEntry{"entryNotDictionary", "42"}),
    CaseName());

} // namespace
