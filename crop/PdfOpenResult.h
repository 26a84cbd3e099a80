#pragma once

#include "crop/PdfDocument.h"

#include <QString>

#include <memory>

// Why a file could not be opened, so that a window can say so in plain words.
enum class PdfOpenError {
    None,
    NotFound,
    Folder,
    // A named pipe, a device or a socket: nothing a document is kept in, and reading it may
    // never end.
    NotRegularFile,
    Unreadable,
    Empty,
    NotPdf,
    Truncated,
    Damaged,
    NoPages,
    // Reading it takes more memory than the program allows itself: it may well be sound.
    TooLarge,
};

// The outcome of opening a file: a document, or the kind of failure with a message a user
// can read. A password-protected file opens successfully as a locked document.
struct PdfOpenResult {
    std::unique_ptr<PdfDocument> document;
    PdfOpenError error = PdfOpenError::None;
    QString message;
    // For an opened document, what the user should know about how it was opened (that it
    // was repaired, say); empty when there is nothing to tell.
    QString notice;

    bool ok() const { return document != nullptr; }
};
