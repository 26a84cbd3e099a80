#pragma once

#include "crop/PageGeometry.h"
#include "crop/RemovedOutside.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class PdfSourceData;

// What the user chose about what a saved file holds besides the crops.
struct SaveChoices {
    // Pages this save crops keep the boxes they had before they were first cropped, for
    // "Restore Original" (OriginalBoxesEntry); without, they keep none, not even an earlier
    // save's.
    bool keepsOriginalBoxes = true;
    // A file unlocked with its owner password, which allows everything, is saved without a
    // password and unencrypted; one unlocked otherwise keeps its password whatever this says.
    bool removesPassword = false;
    // Every page loses what cannot show inside its crop box, which becomes its media box; as
    // nothing is left to restore, no page keeps its original boxes.
    bool removesOutside = false;
};

// What a save writes: the document's bytes with its pages' boxes, those set marked per page.
struct SaveJob {
    const PdfSourceData* data = nullptr;
    QByteArray password;
    std::vector<PageGeometry> pages;
    std::vector<std::uint8_t> setBoxes;
    SaveChoices choices;
};

// How a save written elsewhere went.
struct SaveOutcome {
    bool written = false;
    QString error;
    // The system's error number where writing failed; 0 for none.
    int systemError = 0;
    // The written file reads back with exactly the job's pages, and no worse than the job's
    // file (QpdfReadBack::fileReadsBack).
    bool readsBack = false;
    // The writer ran out of the memory it may take, while writing or reading back: whatever
    // it wrote is not to be trusted.
    bool outOfMemory = false;
    // With SaveChoices::removesOutside, what each page lost, for the pages that lost anything.
    std::vector<RemovedOutside> removed;
};
