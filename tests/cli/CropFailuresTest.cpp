// What `cropmark crop` says and does when its arguments are wrong or a file cannot be cropped:
// wrong arguments stop everything with status 2 before any file is touched; a file that fails
// is named with the reason, the status is 1, and the other files are still cropped.

#include "tests/cli/CropmarkProcess.h"
#include "tests/support/BadPdfCorpus.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>

namespace {

using ::PrintTo;

struct UsageCase {
    const char* name;
    QStringList arguments;
    QString message;
};

class UsageErrorTest : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrorTest, SaysWhatIsWrongAndTouchesNoFile) {
    QTemporaryDir dir;
    TestPdfBuilder().addPages(2).writeTo(dir.filePath("in.pdf"));
    const CropmarkRun run = runCropmark(QStringList{"crop"} + GetParam().arguments, dir.path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.startsWith("cropmark crop: " + GetParam().message))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Usage: cropmark crop [OPTIONS] IN.pdf...\n"));
    EXPECT_EQ(run.out, QString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"in.pdf"});
}

const QStringList box{"--box", "1,1,10,10"};

INSTANTIATE_TEST_SUITE_P(
    Arguments, UsageErrorTest,
    testing::Values(
        UsageCase{"NoInput", box, "no input file"},
        UsageCase{"OutputOfTwoInputs", box + QStringList{"-o", "out.pdf", "in.pdf", "in.pdf"},
                  "-o names the output of exactly one input file"},
        UsageCase{"NothingToDo", {"in.pdf"}, "give exactly one of --box, --margins"},
        UsageCase{"RestoreOfSomePages",
                  {"--restore", "--pages", "odd", "in.pdf"},
                  "--restore puts back every page"},
        UsageCase{"TwoThingsToDo", box + QStringList{"--fit-content", "in.pdf"},
                  "give exactly one of --box, --margins"},
        UsageCase{
            "BoxOfThree", {"--box", "1,1,10", "in.pdf"}, "--box takes X,Y,W,H: four lengths\n"},
        UsageCase{"MarginsOfFive",
                  {"--margins", "1,1,1,1,1", "in.pdf"},
                  "--margins takes L,T,R,B: four lengths\n"},
        UsageCase{"NegativeMargin",
                  {"--margins", "1,-1,1,1", "in.pdf"},
                  "--margins: \"-1\" is negative\n"},
        UsageCase{"UnknownUnit",
                  {"--margins", "10cm,1,1,1", "in.pdf"},
                  "--margins: \"10cm\" is not a length: use pt, mm, in or %\n"},
        UsageCase{"BoxUnknownUnit",
                  {"--box", "1,1,1in, 10 px ", "in.pdf"},
                  "--box: \"10 px\" is not a length: use pt, mm, in or %\n"},
        UsageCase{"EmptyLength",
                  {"--margins", "1,,1,1", "in.pdf"},
                  "--margins: \"\" is not a length: use pt, mm, in or %\n"},
        UsageCase{"RangeBackwards", box + QStringList{"--pages", "7-3", "in.pdf"}, "--pages takes"},
        UsageCase{"EmptyItem", box + QStringList{"--pages", "odd,,2", "in.pdf"}, "--pages takes"},
        UsageCase{"PageZero", box + QStringList{"--pages", "0", "in.pdf"}, "--pages takes"},
        UsageCase{"UnknownWord", box + QStringList{"--pages", "first", "in.pdf"}, "--pages takes"},
        UsageCase{"PadWithoutFit", box + QStringList{"--pad", "5", "in.pdf"},
                  "--pad and --same-size go with --fit-content"},
        UsageCase{"NegativePad",
                  {"--fit-content", "--pad", "-5", "in.pdf"},
                  "--pad: \"-5\" is negative\n"},
        UsageCase{"PadUnknownUnit",
                  {"--fit-content", "--pad", "2pc", "in.pdf"},
                  "--pad: \"2pc\" is not a length: use pt, mm, in or %\n"},
        UsageCase{"NoJobs", {"--fit-content", "--jobs", "0", "in.pdf"}, "--jobs takes"},
        UsageCase{"UnknownOption",
                  {"--fit-content", "--crop-all", "in.pdf"},
                  "Unknown option 'crop-all'"},
        UsageCase{"MissingValue", {"--fit-content", "in.pdf", "--pad"}, "Missing value"}),
    CaseName());

class HelpTest : public testing::TestWithParam<QStringList> {};

TEST_P(HelpTest, PrintsTheUsageWithoutAWindow) {
    QTemporaryDir dir;
    const CropmarkRun run = runCropmark(GetParam(), dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("Usage: cropmark crop [OPTIONS] IN.pdf...\n"));
    EXPECT_TRUE(run.out.contains("--fit-content"));
    EXPECT_EQ(run.err, QString());
}

INSTANTIATE_TEST_SUITE_P(Help, HelpTest,
                         testing::Values(QStringList{"crop", "--help"},
                                         QStringList{"crop", "-h", "--box", "wrong"}));

struct FailingCase {
    const char* name;
    // Makes the file that fails in the folder; returns the argument that names it.
    std::function<QString(const QDir&)> make;
    QStringList arguments;
    QString message;
};

class FailingFileTest : public testing::TestWithParam<FailingCase> {};

TEST_P(FailingFileTest, IsNamedWithTheReasonAndTheOthersAreCropped) {
    QTemporaryDir dir;
    TestPdfBuilder().addPages(2).writeTo(dir.filePath("first.pdf"));
    TestPdfBuilder().addPages(3).writeTo(dir.filePath("last.pdf"));
    const QString failing = GetParam().make(QDir(dir.path()));
    const CropmarkRun run =
        runCropmark(QStringList{"crop", "--margins", "10,10,10,10"} + GetParam().arguments +
                        QStringList{"first.pdf", failing, "last.pdf"},
                    dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "cropmark: " + failing + ": " + GetParam().message + "\n");
    for (const auto& [name, pages] : {std::pair("first", 2), std::pair("last", 3)}) {
        const QString out = dir.filePath(QString(name) + "-cropped.pdf");
        EXPECT_TRUE(SavedFileCheck::readsCleanly(out, pages));
        EXPECT_EQ(writtenBoxes(out, "/CropBox"),
                  std::vector<QRectF>(size_t(pages), QRectF(10, 10, 592, 772)));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QString(failing).replace(".pdf", "-cropped.pdf"))));
}

QString locked(const QDir& dir) {
    TestPdfBuilder().addPages(1).encrypt("secret", "owner").writeTo(dir.filePath("locked.pdf"));
    return "locked.pdf";
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailingFileTest,
    testing::Values(
        FailingCase{"Missing",
                    [](const QDir&) { return QString("missing.pdf"); },
                    {},
                    "The file “missing.pdf” does not exist."},
        FailingCase{"Folder",
                    [](const QDir& dir) {
                        dir.mkdir("folder.pdf");
                        return QString("folder.pdf");
                    },
                    {},
                    "“folder.pdf” is a folder, not a PDF file."},
        FailingCase{"NotPdf",
                    [](const QDir& dir) {
                        writeFile(dir.filePath("notes.pdf"), "Shopping: bread, milk.\n");
                        return QString("notes.pdf");
                    },
                    {},
                    "The file “notes.pdf” is not a PDF document."},
        FailingCase{
            "DamagedBeyondRepair",
            [](const QDir& dir) {
                const QByteArray good = TestPdfBuilder().addPages(2).bytes();
                writeFile(dir.filePath("cut.pdf"), good.first(good.size() / 10));
                return QString("cut.pdf");
            },
            {},
            "The file “cut.pdf” is incomplete: it ends before the document does. It may not "
            "have been fully downloaded or copied."},
        FailingCase{"WrongPassword", locked, {"--password", "guess"}, "wrong password"},
        FailingCase{"LockedWithoutATerminal",
                    locked,
                    {},
                    "the file is locked with a password; give it with --password"},
        FailingCase{"NothingLeft",
                    [](const QDir& dir) {
                        TestPdfBuilder()
                            .addPage({})
                            .addPage({.mediaBox = QRectF(0, 0, 20, 20)})
                            .writeTo(dir.filePath("stamp.pdf"));
                        return QString("stamp.pdf");
                    },
                    {},
                    "the margins leave nothing of page 2"}),
    CaseName());

// Every damaged or hostile file in one command: each is either cropped into a file that reads
// no worse than it, or named with a reason; a repaired one is cropped with a warning.
TEST(DamagedFilesTest, AreCroppedOrNamedAndNothingStops) {
    QTemporaryDir dir;
    QStringList names;
    for (const BadPdf& bad : badPdfCorpus()) {
        names << bad.name + ".pdf";
        writeFile(dir.filePath(names.back()), bad.bytes);
    }
    const CropmarkRun run = runCropmark(
        QStringList{"crop", "--margins", "5%,5%,5%,5%", "--jobs", "2"} + names, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    int cropped = 0;
    for (const QString& name : names) {
        const QString in = dir.filePath(name);
        const QString out = dir.filePath(QString(name).replace(".pdf", "-cropped.pdf"));
        const QString said = "cropmark: " + name + ": ";
        if (QFile::exists(out)) {
            ++cropped;
            const auto pages = int(writtenBoxes(out, "/MediaBox").size());
            EXPECT_TRUE(SavedFileCheck::readsNoWorseThan(out, in, pages)) << name.toStdString();
        } else {
            EXPECT_TRUE(run.err.contains(
                QRegularExpression("^" + QRegularExpression::escape(said) + "\\S.*$",
                                   QRegularExpression::MultilineOption)))
                << name.toStdString();
        }
    }
    EXPECT_GT(cropped, 0);
    EXPECT_TRUE(run.err.contains("cropmark: junk-before-header.pdf: the file is damaged; its "
                                 "pages were cropped and written from a repaired copy\n"));
    EXPECT_TRUE(QFile::exists(dir.filePath("junk-before-header-cropped.pdf")));
}

} // namespace
