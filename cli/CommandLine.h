#pragma once

#include "cli/ProgramStart.h"

#include <memory>

class RenderWorkplace;

// What the program does without windows or a display: `cropmark crop ...`, `cropmark --help`
// and --version, and saying what is wrong when it cannot start as asked.
namespace CommandLine {

// Does what start asks for, which is not to open the windows, opening and saving files in
// workplace; returns the exit status.
int run(const ProgramStart& start, std::shared_ptr<const RenderWorkplace> workplace);

} // namespace CommandLine
