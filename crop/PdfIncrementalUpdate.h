#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <optional>
#include <vector>

// The section appended to a PDF file by an incremental update (ISO 32000 7.5.6): new
// versions of some objects, a cross-reference section for them that points back to the
// file's previous one, and a new trailer. The original bytes stay as they are, so a save
// that changes a few page dictionaries costs little more than copying the file.
//
// Pure: it only makes bytes. Deciding whether an update is safe for a file is the caller's.
class PdfIncrementalUpdate {
public:
    // Where the file's last cross-reference section starts, and whether it is a
    // cross-reference stream (then the update writes one too) or a classic table.
    struct Tail {
        qint64 startxref = 0;
        bool xrefIsStream = false;
    };

    // Reads the last "startxref" of a complete file; nothing when the file does not end in
    // a well-formed one pointing inside the file at "xref" or at an object.
    static std::optional<Tail> readTail(QByteArrayView file);

    // originalSize: length of the original file; size: its trailer's /Size; trailerEntries:
    // the original trailer's /Root, /Info, /ID and /Encrypt entries, ready to write.
    PdfIncrementalUpdate(qint64 originalSize, Tail tail, qint64 size, QByteArray trailerEntries);

    // A new version of object (number, generation) with the given body (a direct object), or a
    // new object when number is the trailer's /Size or above, which then grows past it.
    void addObject(int number, int generation, const QByteArray& body);

    // Everything to append after the original bytes; nothing when no object was added, as a
    // cross-reference section must list at least one object and the file is complete as it is.
    QByteArray bytes() const;

private:
    struct Entry {
        int number;
        int generation;
        qint64 offset;
    };

    QByteArray classicXref() const;
    QByteArray streamXref(qint64 at) const;

    qint64 originalSize_;
    Tail tail_;
    qint64 size_;
    QByteArray trailerEntries_;
    // The objects written so far, after the end-of-line that separates them from the file.
    QByteArray appended_;
    std::vector<Entry> entries_;
};
