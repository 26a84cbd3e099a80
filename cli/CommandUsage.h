#pragma once

#include <QString>

// The help texts of the command line.
namespace CommandUsage {

// `cropmark --help`: the ways to start the program and its own options.
QString program();
// `cropmark crop --help`.
QString crop();
// The reminders printed after a usage error: of the program's and the crop command's.
QString programBrief();
QString cropBrief();

} // namespace CommandUsage
