#pragma once

#include "crop/PdfLoader.h"

class RenderWorkplace;

// Opens PDF files with the document services of a render workplace and, when they find a file
// too damaged to read, with the copy the renderer repairs from it there, telling the user so.
//
// The repaired document lives in memory: saving writes it whole to the file the user chooses
// and the damaged file stays as it is. Files that are missing, folders, unreadable or empty
// files are not repaired. GUI thread or any other, one call at a time.
class RepairingPdfLoader final : public PdfLoader {
public:
    // workplace (not owned) outlives every open().
    // savedSoon: as QpdfLoader::setSavedSoon().
    explicit RepairingPdfLoader(const RenderWorkplace& workplace, bool savedSoon = false)
        : workplace_(workplace), savedSoon_(savedSoon) {}

    PdfOpenResult open(const QString& path) const override;

private:
    const RenderWorkplace& workplace_;
    const bool savedSoon_;
};
