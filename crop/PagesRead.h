#pragma once

#include "crop/PageGeometry.h"

#include <QString>

#include <functional>
#include <vector>

class PdfSourceData;

// What reading a document's pages gave: their geometry, or that the document needs a
// password, or that it could not be read, and why; OutOfMemory when reading it took more
// memory than the reader may have, which says nothing of whether the file is sound.
struct PagesRead {
    enum class Outcome { Read, Locked, Unreadable, OutOfMemory };

    Outcome outcome = Outcome::Unreadable;
    std::vector<PageGeometry> pages;
    QString reason;
};

// Reads the pages of a document's bytes with a password (empty for none). The document
// services read them in this process unless given a reader that reads them elsewhere.
using PageReader = std::function<PagesRead(const PdfSourceData& data, const QByteArray& password)>;

// What read, reading pages with qpdf in this process, gave, or why it failed: a password qpdf
// asks for leaves them Locked, and so on.
PagesRead readPagesBy(const std::function<std::vector<PageGeometry>()>& read);
// Reads pages with qpdf in this process.
PagesRead readPagesHere(const PdfSourceData& data, const QByteArray& password);
// Reads the first page alone with qpdf in this process (QpdfParser::readFirstPage).
PagesRead readFirstPageHere(const PdfSourceData& data, const QByteArray& password);
