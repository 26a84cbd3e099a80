// What a start of `cropmark` is for, and what it says, run from a shell with no display, when it
// does not crop: arguments stop everything before any file is touched; a file that cannot be
// cropped is named with the reason, the status is 1, and the other files are still cropped.

#include "cli/ProgramStart.h"
#include "tests/cli/CropmarkProcess.h"
#include "tests/support/BadPdfCorpus.h"
#include "tests/support/CaseName.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <sys/stat.h>

namespace {

using ::PrintTo;

// What a start is for, told from its arguments and environment before there is an application
// object.
using Command = ProgramStart::Command;

struct StartCase {
    const char* name = "";
    // After the program's name.
    QStringList arguments = {};
    // NAME=value, and nothing else set.
    QStringList environment = {"DISPLAY=:0"};
    // Nothing: the windows.
    std::optional<Command> command = {};
    // For the windows, relative to the current folder.
    QStringList files = {};
    QStringList cropArguments = {};
    QString error = {};
};

class ProgramStartTest : public testing::TestWithParam<StartCase> {};

TEST_P(ProgramStartTest, TellsWhatTheStartIsFor) {
    const StartCase& test = GetParam();
    QProcessEnvironment environment;
    for (const QString& variable : test.environment)
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    const ProgramStart start =
        ProgramStart::decide(QStringList{"cropmark"} + test.arguments, environment);
    EXPECT_EQ(start.command, test.command);
    QStringList files;
    for (const QString& file : test.files)
        files << QDir::current().absoluteFilePath(file);
    EXPECT_EQ(start.files, files);
    EXPECT_EQ(start.cropArguments, test.cropArguments);
    EXPECT_EQ(start.error, test.error);
}

// Starts that open windows on files, and ones the arguments stop.
StartCase windows(const char* name, const QStringList& arguments, const QStringList& files,
                  const QStringList& environment = {"DISPLAY=:0"}) {
    return {.name = name, .arguments = arguments, .environment = environment, .files = files};
}
StartCase usageError(const char* name, const QStringList& arguments, const QString& error) {
    return {.name = name, .arguments = arguments, .command = Command::UsageError, .error = error};
}

const StartCase kStarts[] = {
    windows("NoArguments", {}, {}),
    windows("Files", {"a.pdf", "/tmp/b.pdf", "100%.pdf", ""}, {"a.pdf", "/tmp/b.pdf", "100%.pdf"}),
    windows("FileUrl", {"file:///tmp/two%20words.pdf"}, {"/tmp/two words.pdf"}),
    windows("DoubleDashEndsOptions", {"--", "-weird.pdf", "--help", "-", "--"},
            {"-weird.pdf", "--help", "-", "--"}),
    windows("QtOptionsAreLeftToQt",
            {"-style", "fusion", "a.pdf", "--reverse", "-stylesheet=dark.qss", "--qwindowtitle",
             "-title-", "-session", "s1"},
            {"a.pdf"}),
    windows("CropOnlyAsTheFirstArgument", {"a.pdf", "crop"}, {"a.pdf", "crop"}),
    windows("PlatformArgument", {"-platform", "offscreen", "a.pdf"}, {"a.pdf"}, {}),
    usageError("FileNameTakenForAnOption", {"-weird.pdf"},
               "unknown option \"-weird.pdf\" (put -- before a file whose name begins with -)"),
    usageError("StandardInput", {"-"},
               "\"-\" (standard input) cannot be opened: name the PDF file"),
    usageError("QtOptionWithoutItsValue", {"a.pdf", "-platform"},
               "missing value after \"-platform\""),
    {.name = "CropWithoutADisplay",
     .arguments = {"crop", "--box", "1,1,1,1", "--", "-in.pdf"},
     .environment = {},
     .command = Command::Crop,
     .cropArguments = {"--box", "1,1,1,1", "--", "-in.pdf"}},
    {.name = "EmptyDisplays",
     .environment = {"DISPLAY=", "WAYLAND_DISPLAY="},
     .command = Command::NoDisplay},
};

INSTANTIATE_TEST_SUITE_P(Arguments, ProgramStartTest, testing::ValuesIn(kStarts), CaseName());

struct AnswerCase {
    const char* name;
    QStringList arguments;
    int exitCode;
    // Patterns that standard error and standard output match whole.
    QString err;
    QString out = "";
};

class AnswerTest : public testing::TestWithParam<AnswerCase> {};

TEST_P(AnswerTest, AnswersWithoutAWindowAndTouchesNoFile) {
    QTemporaryDir dir;
    TestPdfBuilder().addPages(2).writeTo(dir.filePath("in.pdf"));
    const CropmarkRun run = runCropmark(GetParam().arguments, dir.path());
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    const auto whole = [](const QString& pattern) {
        return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                                  QRegularExpression::DotMatchesEverythingOption);
    };
    EXPECT_TRUE(whole(GetParam().out).match(run.out).hasMatch()) << run.out.toStdString();
    EXPECT_TRUE(whole(GetParam().err).match(run.err).hasMatch()) << run.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"in.pdf"});
}

const QString usage =
    R"(Usage: cropmark \[FILE\.pdf\.\.\.\]\n.*Try 'cropmark --help' for more\.\n)";
const QString cropUsage = R"(.*Usage: cropmark crop \[OPTIONS\] IN\.pdf\.\.\.\n.*)";

// `cropmark crop arguments...` stops with status 2, saying message first, then how the command
// is used.
AnswerCase wrongCrop(const char* name, const QStringList& arguments, const QString& message) {
    return {name, QStringList{"crop"} + arguments, 2,
            "cropmark crop: " + QRegularExpression::escape(message) + cropUsage};
}

const QStringList box{"--box", "1,1,10,10"};
const QString notALength = "\" is not a length: use pt, mm, in or %\n";

// A case as a call, which keeps each case on few lines.
AnswerCase answer(const char* name, const QStringList& arguments, int exitCode, const QString& err,
                  const QString& out = "") {
    return {name, arguments, exitCode, err, out};
}

const AnswerCase kAnswers[] = {
    answer("Version", {"--version"}, 0, "", R"(Cropmark \d+\.\d+\.\d+\n)"),
    // Help wins over the files, and an unknown option over help.
    answer("Help", {"a.pdf", "--help"}, 0, "",
           R"(Usage: cropmark \[FILE\.pdf\.\.\.\]\n.*`cropmark crop --help`.*--version.*)"),
    answer(
        "UnknownOption", {"a.pdf", "--bogus", "--help"}, 2,
        R"(cropmark: unknown option "--bogus" \(put -- before a file whose name begins with -\)\n)" +
            usage),
    // One line, naming what works without a display.
    answer("NoDisplayForFiles", {"--", "-weird.pdf"}, 1,
           "cropmark: no display[^\n]*'cropmark crop'[^\n]*\n"),
    answer("CropHelp", {"crop", "--help"}, 0, "", cropUsage + "--fit-content.*"),
    answer("CropHelpBeforeAWrongValue", {"crop", "-h", "--box", "wrong"}, 0, "",
           cropUsage + "--fit-content.*"),
    wrongCrop("NoInput", box, "no input file"),
    wrongCrop("OutputOfTwoInputs", box + QStringList{"-o", "out.pdf", "in.pdf", "in.pdf"},
              "-o names the output of exactly one input file"),
    wrongCrop("NothingToDo", {"in.pdf"}, "give exactly one of --box, --margins"),
    wrongCrop("RestoreOfSomePages", {"--restore", "--pages", "odd", "in.pdf"},
              "--restore puts back every page"),
    wrongCrop("TwoThingsToDo", box + QStringList{"--fit-content", "in.pdf"},
              "give exactly one of --box, --margins"),
    wrongCrop("BoxOfThree", {"--box", "1,1,10", "in.pdf"}, "--box takes X,Y,W,H: four lengths\n"),
    wrongCrop("MarginsOfFive", {"--margins", "1,1,1,1,1", "in.pdf"},
              "--margins takes L,T,R,B: four lengths\n"),
    wrongCrop("NegativeMargin", {"--margins", "1,-1,1,1", "in.pdf"},
              "--margins: \"-1\" is negative\n"),
    wrongCrop("UnknownUnit", {"--margins", "10cm,1,1,1", "in.pdf"},
              "--margins: \"10cm" + notALength),
    wrongCrop("BoxUnknownUnit", {"--box", "1,1,1in, 10 px ", "in.pdf"},
              "--box: \"10 px" + notALength),
    wrongCrop("EmptyLength", {"--margins", "1,,1,1", "in.pdf"}, "--margins: \"" + notALength),
    wrongCrop("UnitWithoutNumber", {"--box", "1,mm,1,1", "in.pdf"}, "--box: \"mm" + notALength),
    wrongCrop("Exponent", {"--margins", "1,1,1e3,1", "in.pdf"}, "--margins: \"1e3" + notALength),
    wrongCrop("RangeBackwards", box + QStringList{"--pages", "7-3", "in.pdf"}, "--pages takes"),
    wrongCrop("UnknownWord", box + QStringList{"--pages", "first", "in.pdf"}, "--pages takes"),
    wrongCrop("PadWithoutFit", box + QStringList{"--pad", "5", "in.pdf"},
              "--pad and --same-size go with --fit-content"),
    wrongCrop("NegativePad", {"--fit-content", "--pad", "-5", "in.pdf"},
              "--pad: \"-5\" is negative\n"),
    wrongCrop("PadUnknownUnit", {"--fit-content", "--pad", "2pc", "in.pdf"},
              "--pad: \"2pc" + notALength),
    wrongCrop("NoJobs", {"--fit-content", "--jobs", "0", "in.pdf"}, "--jobs takes"),
    wrongCrop("SplitIntoTooMany", {"--split", "3x3", "in.pdf"}, "--split takes columns x rows"),
    wrongCrop("SplitAtWithoutSplit", {"--fit-content", "--split-at", "50%", "in.pdf"},
              "--split-at, --gap and --order go with --split"),
    wrongCrop("SplitAtAGrid", {"--split", "2x2", "--split-at", "50%", "in.pdf"},
              "--split-at takes one length for each line"),
    wrongCrop("SplitAndRestore", {"--split", "2x1", "--restore", "in.pdf"},
              "--split goes with at most one of"),
    wrongCrop("RemoveOutsideAndRestore", {"--restore", "--remove-outside", "in.pdf"},
              "--remove-outside leaves nothing to restore; it does not go with --restore"),
    // Taken with a box: the file is opened, and stops only at a page it does not have.
    answer("RemoveOutsideWithABox",
           {"crop", "--box", "1,1,10,10", "--remove-outside", "--pages", "9", "in.pdf"}, 1,
           R"(cropmark: in\.pdf: --pages selects none of its 2 pages\n)"),
    // A file named like an option is named whole, not taken for the letters of short options.
    wrongCrop("UnknownCropOption", {"--fit-content", "-dash.pdf"},
              "unknown option \"-dash.pdf\" (put -- before a file whose name begins with -)\n"),
    wrongCrop("MissingValue", {"--fit-content", "in.pdf", "--pad"}, "Missing value"),
};

INSTANTIATE_TEST_SUITE_P(Arguments, AnswerTest, testing::ValuesIn(kAnswers), CaseName());

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

std::function<QString(const QDir&)> file(const QString& name, const QByteArray& bytes) {
    return
        [=](const QDir& dir) { return QFileInfo(writeFile(dir.filePath(name), bytes)).fileName(); };
}

const QByteArray twoPages = TestPdfBuilder().addPages(2).bytes();
const auto locked =
    file("locked.pdf", TestPdfBuilder().addPages(1).encrypt("secret", "owner").bytes());

const QString kNotReadBack =
    "The saved file could not be read back correctly, so nothing was replaced.";

FailingCase failing(const char* name, std::function<QString(const QDir&)> make,
                    const QString& message, const QStringList& arguments = {}) {
    return {name, std::move(make), arguments, message};
}

const FailingCase kFailingFiles[] = {
    failing(
        "Missing", [](const QDir&) { return QString("missing.pdf"); },
        "The file “missing.pdf” does not exist."),
    failing(
        "Folder",
        [](const QDir& dir) {
            dir.mkdir("folder.pdf");
            return QString("folder.pdf");
        },
        "“folder.pdf” is a folder, not a PDF file."),
    // Opening a named pipe for reading waits for a writer that never comes.
    failing(
        "NamedPipe",
        [](const QDir& dir) {
            mkfifo(QFile::encodeName(dir.filePath("pipe.pdf")).constData(), 0600);
            return QString("pipe.pdf");
        },
        "“pipe.pdf” is not a regular file (it is a pipe, a device or a socket), so it holds no "
        "PDF document to open."),
    failing("Empty", file("empty.pdf", {}), "The file “empty.pdf” is empty."),
    failing("NotPdf", file("notes.pdf", "Shopping: bread, milk.\n"),
            "The file “notes.pdf” is not a PDF document."),
    failing("DamagedBeyondRepair", file("cut.pdf", twoPages.first(twoPages.size() / 10)),
            "The file “cut.pdf” is incomplete: it ends before the document does. It may not have "
            "been fully downloaded or copied."),
    failing(
        "Damaged",
        file("damaged.pdf", "%PDF-1.7\n1 0 obj << /Type /Catalog /Pages 9 0 R >> garbage\n%%EOF\n"),
        "The file “damaged.pdf” is damaged and could not be repaired."),
    failing("NoPages", file("empty-book.pdf", TestPdfBuilder().bytes()),
            "The file “empty-book.pdf” contains no pages."),
    failing("WrongPassword", locked, "wrong password", {"--password", "guess"}),
    failing("LockedWithoutATerminal", locked,
            "the file is locked with a password; give it with --password"),
    failing("NothingLeft",
            file("stamp.pdf",
                 TestPdfBuilder().addPage({}).addPage({.mediaBox = QRectF(0, 0, 20, 20)}).bytes()),
            "the margins leave nothing of page 2"),
    // Saved encrypted again with a key of the wrong length, its streams would not decrypt: the
    // compressed page content, or with nothing compressed, the scanned image.
    failing("KeyLengthOnlyInTheCryptFilter",
            file("aes.pdf", TestPdfBuilder()
                                .addPages(1)
                                .encrypt("", "owner", 128)
                                .layOut({.noKeyLength = true})
                                .bytes()),
            kNotReadBack),
    failing("ScanWithTheKeyLengthOnlyInTheCryptFilter",
            file("scan.pdf", TestPdfBuilder()
                                 .addPage({.scanned = Qt::gray})
                                 .encrypt("", "owner", 128)
                                 .layOut({.uncompressedStreams = true, .noKeyLength = true})
                                 .bytes()),
            kNotReadBack),
};

INSTANTIATE_TEST_SUITE_P(Files, FailingFileTest, testing::ValuesIn(kFailingFiles), CaseName());

// The file that cannot be written is the one named, and nothing else is said.
TEST(UnwritableTargetTest, IsNamedWithTheSystemsReason) {
    QTemporaryDir dir;
    TestPdfBuilder().addPages(1).writeTo(dir.filePath("in.pdf"));
    const CropmarkRun run =
        runCropmark({"crop", "--margins", "1,1,1,1", "-o", "/proc/out.pdf", "in.pdf"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "cropmark: in.pdf: “out.pdf” could not be written: No such file or "
                       "directory\n");
}

// Each is cropped into a file that reads no worse than it, or named with a reason.
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
