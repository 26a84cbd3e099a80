// What `cropmark` says, run from a shell with no display, when it is not asked to crop: its
// help and version, options it does not take, and windows it cannot open there.

#include "tests/cli/CropmarkProcess.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using ::PrintTo;

struct OptionsCase {
    const char* name;
    QStringList arguments;
    int exitCode;
    // What standard output and standard error hold, whole.
    QString out;
    QString err;
};

class ProgramOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(ProgramOptionsTest, AnswerWithoutAWindow) {
    QTemporaryDir dir;
    const CropmarkRun run = runCropmark(GetParam().arguments, dir.path());
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    const auto whole = [](const QString& pattern) {
        return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                                  QRegularExpression::DotMatchesEverythingOption);
    };
    EXPECT_TRUE(whole(GetParam().out).match(run.out).hasMatch()) << run.out.toStdString();
    EXPECT_TRUE(whole(GetParam().err).match(run.err).hasMatch()) << run.err.toStdString();
}

const QString usage =
    R"(Usage: cropmark \[FILE\.pdf\.\.\.\]\n.*Try 'cropmark --help' for more\.\n)";
// One line, naming what works without a display.
const QString noDisplay = "cropmark: no display[^\n]*'cropmark crop'[^\n]*\n";

INSTANTIATE_TEST_SUITE_P(
    Options, ProgramOptionsTest,
    testing::Values(
        OptionsCase{"Version", {"--version"}, 0, R"(Cropmark \d+\.\d+\.\d+\n)", ""},
        OptionsCase{"Help",
                    {"--help"},
                    0,
                    R"(Usage: cropmark \[FILE\.pdf\.\.\.\]\n.*`cropmark crop --help`.*--version.*)",
                    ""},
        OptionsCase{"UnknownOption",
                    {"a.pdf", "--bogus"},
                    2,
                    "",
                    R"(cropmark: unknown option "--bogus"\n)" + usage},
        OptionsCase{"NoDisplayForFiles", {"--", "-weird.pdf"}, 1, "", noDisplay}),
    CaseName());

} // namespace
