#include "cli/CommandLine.h"

#include "cli/CommandUsage.h"
#include "cli/CropCommand.h"

#include <cstdio>
#include <cstring>

namespace CommandLine {

namespace {

bool isHelp(const char* argument) {
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

} // namespace

bool isCommand(int argc, char** argv) {
    return argc > 1 && (std::strcmp(argv[1], "crop") == 0 || isHelp(argv[1]));
}

int run(const QStringList& arguments) {
    if (arguments.value(1) == QStringLiteral("crop"))
        return CropCommand::run(arguments.mid(2));
    std::fputs(CommandUsage::program().toLocal8Bit().constData(), stdout);
    return 0;
}

} // namespace CommandLine
