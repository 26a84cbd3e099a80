#pragma once

#include <QtGlobal>

// What the editing window's commands may do now: one value, from which every button and
// action takes its enabled state at once.
struct CommandState {
    // The document waits for its password: it has no pages yet.
    bool locked = false;
    // A write is under way; nothing may change the document until it ends.
    bool saving = false;
    // Batch Crop rather than Custom Crop.
    bool batch = false;
    // Fit to Content is measuring pages.
    bool fitting = false;
    // Some page has a change "Done" would apply.
    bool pending = false;
    // "Done" has applied crops that "Revert All" would take back.
    bool applied = false;
    // Some page has original boxes to restore.
    bool restorable = false;
    // The current page, 0-based, and the number of pages.
    qint64 index = 0;
    qint64 count = 0;
};
