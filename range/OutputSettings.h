#pragma once

#include <QString>

// How documents are written, as the Output page of the settings sets it, kept in the
// program's settings: each save reads them afresh, so a change applies to the next save of
// every window.
namespace OutputSettings {

// Whether a saved file opens in the desktop's default PDF program afterwards; on at first.
bool opensSavedFile();
void setOpensSavedFile(bool on);

// Whether the save panel proposes the file's own name (at first) or "name-cropped.pdf", the
// name the command line writes.
bool proposesCroppedName();
void setProposesCroppedName(bool on);
// The path the save panel proposes for a document read from path.
QString proposedPath(const QString& path);

// Whether the pages a save crops keep their original boxes, for "Restore Original"; on at
// first.
bool keepsOriginalBoxes();
void setKeepsOriginalBoxes(bool on);

// Whether saves take out of every page what lies outside its crop box, which then becomes
// its media box: they leave nothing to restore, whatever keepsOriginalBoxes says. Off at first.
bool removesOutside();
void setRemovesOutside(bool on);

} // namespace OutputSettings
