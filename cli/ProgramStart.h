#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

// What a start of the program is for, told from its arguments and environment alone: it is
// decided before any application object exists, because making the windows' one aborts where
// there is no display, and the commands must work there.
struct ProgramStart {
    // What the program does instead of opening its windows.
    enum class Command {
        // `cropmark crop ...`.
        Crop,
        Help,
        Version,
        // Arguments the program does not take.
        UsageError,
        // Windows were asked for where there is no display to show them on.
        NoDisplay,
    };

    // Nothing: open the windows, on files.
    std::optional<Command> command;
    // For the windows: the files to open, as absolute paths (none: the start window).
    QStringList files;
    // For Crop: the arguments after the word crop.
    QStringList cropArguments;
    // For UsageError: what is wrong.
    QString error;

    // arguments as main() has them, the program's name first. Options end at "--"; the
    // toolkit's own options are left to the windows; a file may be given as a file: URL.
    static ProgramStart decide(const QStringList& arguments,
                               const QProcessEnvironment& environment);
};
