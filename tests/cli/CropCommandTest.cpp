// `cropmark crop` as a user runs it, without a display: what a dry run reports, what the files
// it writes hold, what -o replaces, and that parallel jobs change nothing of that.

#include "tests/cli/CropmarkProcess.h"
#include "tests/support/CaseName.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using ::PrintTo;

// Four pages of known shapes: portrait, the same turned by 90 degrees (landscape as
// displayed), landscape, and a portrait crop box inside a media box with an odd origin.
TestPdfBuilder shapes() {
    return TestPdfBuilder()
        .addPage({})
        .addPage({.rotate = 90})
        .addPage({.mediaBox = QRectF(0, 0, 792, 612)})
        .addPage({.mediaBox = QRectF(-100, 50, 700, 900), .cropBox = QRectF(0, 100, 500, 700)});
}

// Pages whose content is one filled rectangle each (the last page draws nothing), so their
// content bounds are known exactly.
TestPdfBuilder drawnRectangles() {
    return TestPdfBuilder()
        .addPage({.content = "0 0 0 rg 100 200 300 400 re f"})
        .addPage({.content = "0 0 0 rg 50 100 200 100 re f"})
        .addPage({.mediaBox = QRectF(0, 0, 792, 612), .content = "0 0 0 rg 300 300 100 100 re f"})
        .addPage({});
}

struct RunCase {
    const char* name;
    TestPdfBuilder file;
    QStringList arguments;
    // Every page's boxes in the file written; none when nothing is written.
    std::vector<QRectF> boxes = {};
    QString out = {};
    QString err = {};
    QString password = {};
    int exitCode = 0;
};

class CropRunTest : public testing::TestWithParam<RunCase> {};

// The source is left as it was, and a file that -o names is replaced only by a complete cropped
// file; nothing else is left in the folder. A locked file stays locked.
TEST_P(CropRunTest, WritesTheCropsIntoEveryBoxOrPrintsThemAndLeavesTheRestAsItWas) {
    const RunCase& test = GetParam();
    QTemporaryDir dir;
    const QString in = test.file.writeTo(dir.filePath("in.pdf"));
    const QByteArray original = readFile(in);
    const QByteArray old = "what was there before";
    const QString target = writeFile(dir.filePath("target.pdf"), old);
    QStringList arguments = QStringList{"crop"} + test.arguments + QStringList{"in.pdf"};
    if (!test.password.isEmpty())
        arguments << "--password" << test.password;
    const CropmarkRun run = runCropmark(arguments, dir.path());
    EXPECT_EQ(run.exitCode, test.exitCode) << run.err.toStdString();
    EXPECT_EQ(run.out, test.out);
    EXPECT_EQ(run.err, test.err);
    EXPECT_EQ(readFile(in), original);

    const bool toTarget = test.arguments.contains("-o");
    QStringList files{"in.pdf", "target.pdf"};
    if (!test.boxes.empty() && !toTarget)
        files.prepend("in-cropped.pdf");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), files);
    if (test.boxes.empty()) {
        EXPECT_EQ(readFile(target), old);
        return;
    }
    const QString out = dir.filePath(toTarget ? "target.pdf" : "in-cropped.pdf");
    const auto pages = int(test.boxes.size());
    EXPECT_TRUE(SavedFileCheck::readsCleanly(out, pages, test.password.toUtf8()));
    for (const char* key : {"/CropBox", "/MediaBox", "/TrimBox", "/BleedBox", "/ArtBox"})
        EXPECT_EQ(writtenBoxes(out, key, test.password), test.boxes) << key;
    EXPECT_EQ(isEncrypted(out, test.password), isEncrypted(in, test.password));
}

// An inch off every side of shapes(), each page's new box following from its old one whatever
// its rotation.
const QStringList inch{"--margins", "1in,1in,1in,1in"};
const std::vector<QRectF> inchOff{QRectF(72, 72, 468, 648), QRectF(72, 72, 468, 648),
                                  QRectF(72, 72, 648, 468), QRectF(72, 172, 356, 556)};

const QRectF letter(0, 0, 612, 792);
const QRectF landscape(0, 0, 792, 612);
const QString blankPageLeft = "cropmark: in.pdf: no content found on page 4; left as it was\n";
const TestPdfBuilder locked = shapes().encrypt("pässwörd", "owner");

// A dry run of shapes(), which prints each selected page's boxes: clamped to each page,
// measured from the displayed page's lower-left corner.
RunCase dryRun(const char* name, const QStringList& arguments, const QString& out) {
    return {name, shapes(), QStringList{"--dry-run"} + arguments, {}, out};
}

RunCase fitted(const char* name, const QStringList& arguments, std::vector<QRectF> boxes,
               const QString& err = {}) {
    return {name, drawnRectangles(), QStringList{"--fit-content"} + arguments, std::move(boxes), {},
            err};
}

const RunCase kRuns[] = {
    dryRun("DryRunBox", {"--box", "36,36,540,720"},
           "in.pdf page 1: [0 0 612 792] -> [36 36 576 756]\n"
           "in.pdf page 2: [0 0 612 792] -> [0 36 576 576]\n"
           "in.pdf page 3: [0 0 792 612] -> [36 36 576 612]\n"
           "in.pdf page 4: [0 100 500 800] -> [36 136 500 800]\n"),
    dryRun("DryRunMarginsInMillimetres", {"--margins", "10mm,20mm,30mm,40mm", "--pages", "1,3"},
           "in.pdf page 1: [0 0 612 792] -> [28.346457 113.385827 526.96063 735.307087]\n"
           "in.pdf page 3: [0 0 792 612] -> [28.346457 113.385827 706.96063 555.307087]\n"),
    dryRun("DryRunMarginsInPerCentOfTheDisplayedSides",
           {"--margins", "10%,5%,0,25%", "--pages", "even"},
           "in.pdf page 2: [0 0 612 792] -> [30.6 79.2 459 792]\n"
           "in.pdf page 4: [0 100 500 800] -> [50 275 500 765]\n"),
    dryRun("DryRunPortraitAsDisplayed", {"--box", "0, 0 pt ,1in,.5IN", "--pages", "portrait"},
           "in.pdf page 1: [0 0 612 792] -> [0 0 72 36]\n"
           "in.pdf page 4: [0 100 500 800] -> [0 100 72 136]\n"),
    dryRun("DryRunUnionOfWordsAndRanges", {"--margins", "1,2,3,4", "--pages", "ODD, 2-3"},
           "in.pdf page 1: [0 0 612 792] -> [1 4 609 790]\n"
           "in.pdf page 2: [0 0 612 792] -> [2 1 608 789]\n"
           "in.pdf page 3: [0 0 792 612] -> [1 4 789 610]\n"),
    dryRun("DryRunSplitNamesThePageEachPartCameFrom", {"--split", "2x1", "--pages", "1,4"},
           "in.pdf page 1: [0 0 612 792] -> [0 0 306 792]\n"
           "in.pdf page 2 (from page 1): [0 0 612 792] -> [306 0 612 792]\n"
           "in.pdf page 5 (from page 4): [0 100 500 800] -> [0 100 250 800]\n"
           "in.pdf page 6 (from page 4): [0 100 500 800] -> [250 100 500 800]\n"),
    {"Shapes", shapes(), inch, inchOff},
    {"ObjectStreams", shapes().layOut({.objectStreams = true, .hybridXref = true}), inch, inchOff},
    // Opened with either password, one not ASCII reaching the render host whole, a locked file
    // is written locked.
    {"EncryptedKeepsItsLock", locked, inch, inchOff, {}, {}, "pässwörd"},
    {"OpenedWithTheOwnerPassword", locked, inch, inchOff, {}, {}, "owner"},
    // A file with an owner password alone opens without one.
    {"OwnerPasswordOnly", shapes().encrypt("", "owner"), inch, inchOff},
    // Written whole and encrypted again, every image read back and found a JPEG.
    {"ScansEncryptedWithA128BitKey",
     TestPdfBuilder()
         .addPages(2, {.scanned = Qt::gray})
         .encrypt("", "owner", 128)
         .layOut({.uncompressedStreams = true}),
     {"--box", "10,10,100,100"},
     {QRectF(10, 10, 100, 100), QRectF(10, 10, 100, 100)}},
    fitted(
        "FitEachPageToItsOwn", {},
        {QRectF(100, 200, 300, 400), QRectF(50, 100, 200, 100), QRectF(300, 300, 100, 100), letter},
        blankPageLeft),
    fitted(
        "FitPaddedInPoints", {"--pad", "10"},
        {QRectF(90, 190, 320, 420), QRectF(40, 90, 220, 120), QRectF(290, 290, 120, 120), letter},
        blankPageLeft),
    fitted("FitPaddedInPerCentOfEachSide", {"--pad", "10%", "--pages", "1"},
           {QRectF(38.8, 120.8, 422.4, 558.4), letter, landscape, letter}),
    // One rectangle holding pages 1 and 2's content, for every page of their size; the
    // landscape page gets it as far as it reaches, from its top-left corner.
    fitted("FitSameSize", {"--same-size"},
           {QRectF(50, 100, 350, 500), QRectF(50, 100, 350, 500), QRectF(50, 0, 350, 420),
            QRectF(50, 100, 350, 500)}),
    fitted("FitSameSizePadded", {"--same-size", "--pad", "5", "--pages", "2-4"},
           {letter, QRectF(45, 95, 210, 110), QRectF(45, 0, 210, 25), QRectF(45, 95, 210, 110)}),
    // Written whole, encrypted again; the turned page is split across its displayed width.
    {"SplitEncryptedAsDisplayed",
     TestPdfBuilder().addPage({}).addPage({.rotate = 90}).encrypt("pw", "owner"),
     {"--split", "2x1"},
     {QRectF(0, 0, 306, 792), QRectF(306, 0, 306, 792), QRectF(0, 0, 612, 396),
      QRectF(0, 396, 612, 396)},
     {},
     {},
     "pw"},
    // Lines from the left edge, a gap dropped across them, read from the right.
    {"SplitAtAGapRightToLeft",
     TestPdfBuilder().addPage({}),
     {"--split", "2x1", "--split-at", "40%", "--gap", "12", "--order", "rtl"},
     {QRectF(250.8, 0, 361.2, 792), QRectF(0, 0, 238.8, 792)}},
    // Pages inheriting their media box from a node of their own in the page tree, split top from
    // bottom in place and each part then cropped.
    {"SplitInANestedTreeThenCropped",
     [] {
         TestPdfBuilder file;
         const int group = file.addGroup({QRectF(0, 0, 400, 200), {}, {}});
         return file.addPages(2, {.mediaBox = std::nullopt, .group = group}).addPage({});
     }(),
     {"--split", "1x2", "--pages", "1-2", "--margins", "10,10,10,10"},
     {QRectF(10, 110, 380, 80), QRectF(10, 10, 380, 80), QRectF(10, 110, 380, 80),
      QRectF(10, 10, 380, 80), letter}},
    // Each part fitted to what lies in it, a rectangle across the line counted on both sides.
    {"SplitThenFitEachPart",
     TestPdfBuilder().addPage(
         {.content = "0 0 0 rg 50 100 200 300 re f 400 200 100 100 re f 250 500 112 50 re f"}),
     {"--split", "2x1", "--fit-content"},
     {QRectF(50, 100, 256, 450), QRectF(306, 200, 194, 350)}},
    {"OutputReplacesTheTarget",
     TestPdfBuilder().addPages(2),
     {"-o", "target.pdf", "--box", "10,10,100,100"},
     {QRectF(10, 10, 100, 100), QRectF(10, 10, 100, 100)}},
    {.name = "OutputOfAFailedCropLeavesTheTarget",
     .file = TestPdfBuilder().addPages(2),
     .arguments = {"-o", "target.pdf", "--box", "700,10,100,100"},
     .err = "cropmark: in.pdf: the box leaves nothing of page 1\n",
     .exitCode = 1},
};

INSTANTIATE_TEST_SUITE_P(Runs, CropRunTest, testing::ValuesIn(kRuns), CaseName());

struct FlawCase {
    const char* name;
    // Page-piece dictionaries of another program, in which qpdf finds names it warns of.
    std::vector<QByteArray> pieces;
};

class FlawedFileTest : public testing::TestWithParam<FlawCase> {};

// A name with a stray "#" draws, and qpdf warns of it, but writes it again as it was: a save
// carries the flaw on, and is refused only if it adds one.
TEST_P(FlawedFileTest, IsCroppedWithItsFlawsAndNoMore) {
    QTemporaryDir dir;
    TestPdfBuilder file;
    for (const QByteArray& piece : GetParam().pieces)
        file.addPage({.pieceInfo = piece});
    const QString in = file.writeTo(dir.filePath("in.pdf"));
    const auto pages = int(GetParam().pieces.size());
    ASSERT_FALSE(SavedFileCheck::readsCleanly(in, pages)) << "qpdf warns of the flaw";
    const CropmarkRun run =
        runCropmark({"crop", "--margins", "1in,1in,1in,1in", "in.pdf"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    const QString out = dir.filePath("in-cropped.pdf");
    EXPECT_TRUE(SavedFileCheck::readsNoWorseThan(out, in, pages));
    EXPECT_EQ(writtenBoxes(out, "/CropBox"),
              std::vector<QRectF>(size_t(pages), QRectF(72, 72, 468, 648)));
}

const FlawCase kFlaws[] = {
    {"StrayHash", {"<< /Fo#o << /LastModified (D:20240101) /Private << >> >> >>"}},
    {"NameEndingInAHash", {"<< /Tool << /LastModified (D:20240101) /Private << /A# 1 >> >> >>"}},
    // One a page, on some pages; and on one page, two.
    {"OnSomePages",
     {"<< /T#ool << /LastModified (D:20240101) /Private << >> >> >>", "<< >>",
      "<< /T#ool << /LastModified (D:20240101) /Private << /B#2 1 >> >> >>"}},
};

INSTANTIATE_TEST_SUITE_P(Files, FlawedFileTest, testing::ValuesIn(kFlaws), CaseName());

// Three at a time, files are still named in the order they were given.
TEST(ParallelJobsTest, GiveTheSameFilesAndMessagesAsOneAtATime) {
    QTemporaryDir dir;
    std::map<QString, int> pageCounts;
    QStringList names;
    for (int i = 0; i < 6; ++i) {
        TestPdfBuilder builder = i % 2 ? drawnRectangles() : shapes();
        builder.addPages(i, {.content = "0 0 0 rg 10 10 50 50 re f"});
        names << QString("f%1.pdf").arg(i);
        builder.writeTo(dir.filePath(names.back()));
        pageCounts[names.back()] = 4 + i;
    }
    names.insert(3, "missing.pdf");
    const auto run = [&](const QStringList& options, int jobs) {
        return runCropmark(QStringList{"crop", "--jobs", QString::number(jobs)} + options + names,
                           dir.path());
    };
    std::map<int, std::map<QString, std::vector<QRectF>>> written;
    std::map<int, CropmarkRun> runs;
    for (int jobs : {1, 3}) {
        runs[jobs] = run({"--fit-content", "--pad", "2mm"}, jobs);
        EXPECT_EQ(runs[jobs].exitCode, 1);
        for (const auto& [name, pages] : pageCounts) {
            const QString out = dir.filePath(QString(name).replace(".pdf", "-cropped.pdf"));
            EXPECT_TRUE(SavedFileCheck::readsCleanly(out, pages));
            // The bytes hold the time of the save; every box must be the same.
            for (const char* key : {"/MediaBox", "/CropBox", "/BleedBox", "/TrimBox", "/ArtBox"})
                written[jobs][name + key] = writtenBoxes(out, key);
            QFile::remove(out);
        }
    }
    EXPECT_EQ(written[1], written[3]);
    EXPECT_EQ(runs[1].err, runs[3].err);
    EXPECT_TRUE(runs[1].err.contains("cropmark: missing.pdf: ")) << runs[1].err.toStdString();

    const QStringList boxes{"--dry-run", "--box", "10,10,200,200"};
    const QString oneAtATime = run(boxes, 1).out;
    EXPECT_EQ(run(boxes, 3).out, oneAtATime);
    EXPECT_TRUE(oneAtATime.startsWith("f0.pdf page 1: ")) << oneAtATime.toStdString();
}

// A file with nothing kept, the original or the restored one, has nothing to restore.
TEST(RestoreTest, GivesBackTheBoxesFromBeforeTheCrop) {
    QTemporaryDir dir;
    const QString in = shapes().writeTo(dir.filePath("in.pdf"));
    ASSERT_EQ(runCropmark({"crop", "--pages", "2-4", "--margins", "1in,1in,1in,1in", "in.pdf"},
                          dir.path())
                  .exitCode,
              0);
    const CropmarkRun restored = runCropmark({"crop", "--restore", "in-cropped.pdf"}, dir.path());
    ASSERT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    const QString out = dir.filePath("in-cropped-cropped.pdf");
    EXPECT_TRUE(SavedFileCheck::readsCleanly(out, 4));
    EXPECT_EQ(writtenBoxes(out, nullptr), writtenBoxes(in, nullptr));
    EXPECT_EQ(writtenBoxes(out, "/MediaBox"), writtenBoxes(in, "/MediaBox"));

    for (const QString& unchanged : {QString("in.pdf"), QString("in-cropped-cropped.pdf")}) {
        const CropmarkRun nothing =
            runCropmark({"crop", "--restore", "--dry-run", unchanged}, dir.path());
        EXPECT_EQ(nothing.exitCode, 1);
        EXPECT_EQ(nothing.err, "cropmark: " + unchanged +
                                   ": nothing to restore: no page has boxes kept from before "
                                   "Cropmark cropped it\n");
    }
}

// The words pdftotext finds on each page of the file at path.
QStringList pageTexts(const QString& path, int pages) {
    QStringList texts;
    for (int page = 1; page <= pages; ++page) {
        const QString n = QString::number(page);
        texts << runProgram("pdftotext", {"-f", n, "-l", n, path, "-"}, ".").out.simplified();
    }
    return texts;
}

// The object of each annotation's page and where the outline's entry goes, by page number.
struct PageLinks {
    std::vector<int> annotations;
    int outlineTarget = 0;
    bool operator==(const PageLinks&) const = default;
};

PageLinks linksOf(const QString& path) {
    QPDF pdf;
    pdf.processFile(path.toLocal8Bit().constData());
    PageLinks links;
    const std::vector<QPDFObjectHandle> pages = pdf.getAllPages();
    for (QPDFObjectHandle page : pages)
        links.annotations.push_back(
            page.getKey("/Annots").isArray() ? page.getKey("/Annots").getArrayNItems() : 0);
    const QPDFObjGen target = pdf.getRoot()
                                  .getKey("/Outlines")
                                  .getKey("/First")
                                  .getKey("/Dest")
                                  .getArrayItem(0)
                                  .getObjGen();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (QPDFObjectHandle(pages[i]).getObjGen() == target)
            links.outlineTarget = int(i) + 1;
    }
    return links;
}

// Four spreads, a word on each half, a link on the first one's right half and an outline entry
// for the second: split into halves in their order, each half's words, link and outline entry
// with it, for a page dictionary each; then joined into the spreads they were.
TEST(SplitTest, SpreadsBecomeTheirHalvesAndAreJoinedAgainOnRestore) {
    QTemporaryDir dir;
    TestPdfBuilder spreads;
    for (int n = 1; n <= 4; ++n) {
        spreads.addPage(
            {.mediaBox = QRectF(0, 0, 612, 396),
             .content = QStringLiteral("BT /F1 36 Tf 120 200 Td (L%1) Tj ET BT /F1 36 Tf 426 200 "
                                       "Td (R%1) Tj ET")
                            .arg(n)
                            .toLatin1(),
             .linkToFirstPage = n == 1 ? std::optional(QRectF(400, 180, 100, 70)) : std::nullopt});
    }
    const QString in = spreads.outline("Second", 1).writeTo(dir.filePath("in.pdf"));
    const CropmarkRun split = runCropmark({"crop", "--split", "2x1", "in.pdf"}, dir.path());
    ASSERT_EQ(split.exitCode, 0) << split.err.toStdString();
    const QString halves = dir.filePath("in-cropped.pdf");
    ASSERT_TRUE(SavedFileCheck::readsCleanly(halves, 8));
    EXPECT_EQ(pageTexts(halves, 8), QStringList({"L1", "R1", "L2", "R2", "L3", "R3", "L4", "R4"}));
    std::vector<QRectF> halfBoxes;
    for (int n = 1; n <= 4; ++n)
        halfBoxes.insert(halfBoxes.end(), {QRectF(0, 0, 306, 396), QRectF(306, 0, 306, 396)});
    EXPECT_EQ(writtenBoxes(halves, "/MediaBox"), halfBoxes);
    EXPECT_EQ(linksOf(halves), (PageLinks{{0, 1, 0, 0, 0, 0, 0, 0}, 3}));
    EXPECT_LT(QFileInfo(halves).size() - QFileInfo(in).size(), 4 * 2048);

    const CropmarkRun restored = runCropmark({"crop", "--restore", "in-cropped.pdf"}, dir.path());
    ASSERT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    const QString joined = dir.filePath("in-cropped-cropped.pdf");
    ASSERT_TRUE(SavedFileCheck::readsCleanly(joined, 4));
    EXPECT_EQ(pageTexts(joined, 4), QStringList({"L1 R1", "L2 R2", "L3 R3", "L4 R4"}));
    EXPECT_EQ(writtenBoxes(joined, nullptr), writtenBoxes(in, nullptr));
    EXPECT_EQ(linksOf(joined), (PageLinks{{1, 0, 0, 0}, 2}));
}

// A name in another encoding than UTF-8 (here Latin-1) names its file, and the result's name
// keeps the same bytes.
TEST(FileNameTest, ANameThatIsNotUtf8IsCroppedBesideItself) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray in = folder + "/caf\xE9.pdf", out = folder + "/caf\xE9-cropped.pdf";
    const QByteArray pdf = shapes().bytes();
    std::FILE* file = std::fopen(in.constData(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(pdf.constData(), 1, size_t(pdf.size()), file), size_t(pdf.size()));
    std::fclose(file);
    // QProcess would write the name as UTF-8; the shell hands over its bytes.
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start("/bin/sh",
                  {"-c",
                   R"sh(exec "$0" crop --margins 1in,1in,1in,1in "$(printf 'caf\351.pdf')")sh",
                   CROPMARK_EXECUTABLE});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    // Checked under a name the checker can pass on.
    ASSERT_EQ(std::rename(out.constData(), QFile::encodeName(dir.filePath("out.pdf")).constData()),
              0);
    EXPECT_TRUE(SavedFileCheck::readsCleanly(dir.filePath("out.pdf"), 4));
}

} // namespace

// On a terminal, the progress line says what is being done, and its counts move on without a
// line for every page, which a terminal takes longer to show than the crop takes.
TEST(ProgressTest, ATerminalSeesEachStepAndCountsAtMostSomeTimesASecond) {
    QTemporaryDir dir;
    constexpr int kPages = 3000;
    TestPdfBuilder().addPages(kPages).writeTo(dir.filePath("in.pdf"));
    // `script` gives the command a terminal of its own and copies what it shows.
    const QString command =
        QStringLiteral(CROPMARK_EXECUTABLE) + " crop --margins 1in,0,0,0 in.pdf";
    const CropmarkRun run = runProgram("script", {"-qec", command, "/dev/null"}, dir.path());
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(": opening") && run.out.contains(": writing"))
        << run.out.toStdString();
    EXPECT_LT(run.out.count("\x1b[K"), 100);
    EXPECT_TRUE(SavedFileCheck::readsCleanly(dir.filePath("in-cropped.pdf"), kPages));
}
