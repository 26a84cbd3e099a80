#pragma once

#include <QString>
#include <QStringList>

// What became of one file of a crop command.
struct FileOutcome {
    bool ok = false;
    // Why the file was not cropped, when it was not.
    QString error;
    // What the user should know about a file that was cropped.
    QStringList warnings;
    // A dry run's lines, one per selected page; with --remove-outside, a second one each.
    QStringList lines;
};
