#pragma once

#include <QString>

// The desktop's shared list of recently used files (the freedesktop.org "recently-used.xbel"
// in the user's data folder), which file managers and file dialogs show: a file opened here is
// added to it, or, already there, marked as used now and counted once more for this program.
// What other programs wrote into the list stays as they wrote it. The list is replaced whole
// once the new one is written, so that a program reading it meanwhile never sees half a list.
//
// Any thread; calls take turns.
namespace DesktopRecentFiles {

// Adds the PDF file at path (absolute) as used now by application, started by exec (for
// instance "'cropmark' %u"). False when the list could not be read or written, which costs
// only the entry.
bool add(const QString& path, const QString& application, const QString& exec);

// Where the list is: $XDG_DATA_HOME/recently-used.xbel, ~/.local/share by default.
QString listPath();

} // namespace DesktopRecentFiles
