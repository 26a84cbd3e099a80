#pragma once

#include <QStringList>

// The program's commands, which work without windows or a display: `cropmark crop ...` and
// `cropmark --help`. Anything else starts the windows.
namespace CommandLine {

// Whether argv (as main() gets it) asks for a command. Needs no application object, so the
// program can tell before it makes one.
bool isCommand(int argc, char** argv);
// Runs the command in arguments (as QCoreApplication::arguments() gives them); returns the
// exit status.
int run(const QStringList& arguments);

} // namespace CommandLine
