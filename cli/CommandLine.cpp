#include "cli/CommandLine.h"

#include "cli/CommandUsage.h"
#include "cli/CropCommand.h"

#include <cstdio>

namespace CommandLine {

namespace {

// Windows asked for where they cannot be shown: the start failed, not its arguments.
constexpr int kNoDisplay = 1;

int say(FILE* stream, const QString& text, int status) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    return status;
}

} // namespace

int run(const ProgramStart& start, std::shared_ptr<const RenderWorkplace> workplace) {
    switch (*start.command) {
    case ProgramStart::Command::Crop:
        return CropCommand::run(start.cropArguments, std::move(workplace));
    case ProgramStart::Command::Help:
        return say(stdout, CommandUsage::program(), 0);
    case ProgramStart::Command::Version:
        return say(stdout, QStringLiteral("Cropmark " CROPMARK_VERSION "\n"), 0);
    case ProgramStart::Command::UsageError:
        return say(stderr,
                   QStringLiteral("cropmark: %1\n").arg(start.error) + CommandUsage::programBrief(),
                   CropCommand::kUsageError);
    case ProgramStart::Command::NoDisplay:
        break;
    }
    // One line, which a launcher's log shows whole.
    return say(stderr,
               QStringLiteral("cropmark: no display to open windows on (neither DISPLAY nor "
                              "WAYLAND_DISPLAY is set); 'cropmark crop' crops files without one\n"),
               kNoDisplay);
}

} // namespace CommandLine
