#pragma once

#include <QString>

// The help texts of the command line.
namespace CommandUsage {

// `cropmark --help`: the ways to start the program, then the crop command's help.
QString program();
// `cropmark crop --help`.
QString crop();
// The reminder printed after a usage error.
QString brief();

} // namespace CommandUsage
