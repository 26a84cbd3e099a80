#pragma once

#include "cli/ProgramStart.h"

// What the program does without windows or a display: `cropmark crop ...`, `cropmark --help`
// and --version, and saying what is wrong when it cannot start as asked.
namespace CommandLine {

// Does what start asks for, which is not to open the windows; returns the exit status.
int run(const ProgramStart& start);

} // namespace CommandLine
