// What a start is for, told before there is an application object. (What the program then
// prints is checked where it is run, in CropFailuresTest.)

#include "cli/ProgramStart.h"
#include "tests/support/CaseName.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>

#include <optional>

namespace {

using ::PrintTo;
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

const StartCase kStarts[] = {
    {.name = "NoArguments"},
    {.name = "Files",
     .arguments = {"a.pdf", "/tmp/b.pdf", "100%.pdf", ""},
     .files = {"a.pdf", "/tmp/b.pdf", "100%.pdf"}},
    {.name = "FileUrl",
     .arguments = {"file:///tmp/two%20words.pdf"},
     .files = {"/tmp/two words.pdf"}},
    {.name = "DoubleDashEndsOptions",
     .arguments = {"--", "-weird.pdf", "--help", "-", "--"},
     .files = {"-weird.pdf", "--help", "-", "--"}},
    {.name = "QtOptionsAreLeftToQt",
     .arguments = {"-style", "fusion", "a.pdf", "--reverse", "-stylesheet=dark.qss",
                   "--qwindowtitle", "-title-", "-session", "s1"},
     .files = {"a.pdf"}},
    {.name = "FileNameTakenForAnOption",
     .arguments = {"-weird.pdf"},
     .command = Command::UsageError,
     .error = "unknown option \"-weird.pdf\""},
    {.name = "StandardInput",
     .arguments = {"-"},
     .command = Command::UsageError,
     .error = "\"-\" (standard input) cannot be opened: name the PDF file"},
    {.name = "QtOptionWithoutItsValue",
     .arguments = {"a.pdf", "-platform"},
     .command = Command::UsageError,
     .error = "missing value after \"-platform\""},
    {.name = "CropWithoutADisplay",
     .arguments = {"crop", "--box", "1,1,1,1", "--", "-in.pdf"},
     .environment = {},
     .command = Command::Crop,
     .cropArguments = {"--box", "1,1,1,1", "--", "-in.pdf"}},
    {.name = "CropOnlyAsTheFirstArgument",
     .arguments = {"a.pdf", "crop"},
     .files = {"a.pdf", "crop"}},
    {.name = "EmptyDisplays",
     .environment = {"DISPLAY=", "WAYLAND_DISPLAY="},
     .command = Command::NoDisplay},
    {.name = "PlatformArgument",
     .arguments = {"-platform", "offscreen", "a.pdf"},
     .environment = {},
     .files = {"a.pdf"}},
};

INSTANTIATE_TEST_SUITE_P(Arguments, ProgramStartTest, testing::ValuesIn(kStarts), CaseName());

} // namespace
