#include "cli/ProgramStart.h"

#include "cli/CropArguments.h"
#include "cli/ToolkitOptions.h"
#include "platform/NativePath.h"

#include <QUrl>

namespace {

ProgramStart startFor(ProgramStart::Command command) {
    ProgramStart start;
    start.command = command;
    return start;
}

ProgramStart usageError(const QString& error) {
    ProgramStart start = startFor(ProgramStart::Command::UsageError);
    start.error = error;
    return start;
}

// A file named on the command line as an absolute path. A desktop may hand over file URLs;
// they are decoded once, as URLs are. Plain paths are taken as they are: "100%.pdf" is a name.
QString pathOf(const QString& argument) {
    const QString path =
        argument.startsWith(QLatin1String("file:")) ? QUrl(argument).toLocalFile() : argument;
    return path.isEmpty() ? path : NativePath::absolute(path);
}

// Where Qt finds a window system without being told: an X or a Wayland display, or a platform
// chosen outright (offscreen, for one).
bool environmentHasDisplay(const QProcessEnvironment& environment) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!environment.value(QLatin1String(name)).isEmpty())
            return true;
    }
    return false;
}

} // namespace

ProgramStart ProgramStart::decide(const QStringList& arguments,
                                  const QProcessEnvironment& environment) {
    if (arguments.value(1) == QLatin1String("crop")) {
        ProgramStart start = startFor(Command::Crop);
        start.cropArguments = arguments.mid(2);
        return start;
    }
    ProgramStart start;
    bool hasDisplay = environmentHasDisplay(environment);
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(u'-')) {
            if (const QString path = pathOf(argument); !path.isEmpty())
                start.files << path;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            return startFor(Command::Help);
        } else if (argument == QLatin1String("--version")) {
            return startFor(Command::Version);
        } else if (argument == QLatin1String("-")) {
            return usageError(
                QStringLiteral("\"-\" (standard input) cannot be opened: name the PDF file"));
        } else if (ToolkitOptions::kindOf(argument) == ToolkitOptions::Kind::WithValue) {
            if (++i == arguments.size())
                return usageError(QStringLiteral("missing value after \"%1\"").arg(argument));
            hasDisplay = hasDisplay || ToolkitOptions::choosesDisplay(argument);
        } else if (ToolkitOptions::kindOf(argument) == ToolkitOptions::Kind::NotOne) {
            return usageError(CropArguments::unknownOption(argument));
        }
    }
    return hasDisplay ? start : startFor(Command::NoDisplay);
}
