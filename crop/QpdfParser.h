#pragma once

#include "crop/PageGeometry.h"
#include "crop/PdfSourceData.h"

#include <QByteArray>

#include <memory>
#include <optional>
#include <vector>

class QPDF;

// Parses a PDF file's bytes with qpdf. Throws qpdf's exceptions (QPDFExc, std::exception);
// callers at the edge of crop/ turn them into results.
namespace QpdfParser {

// A QPDF reading the bytes in place (they must outlive it), repairing damage where it can
// and keeping its warnings to itself.
std::unique_ptr<QPDF> parse(const PdfSourceData& data, const QByteArray& password);

// A QPDF reading the file as it would be with `appended` after it, as a strict reader does:
// damage that needs repairing throws instead. Reads both in place; they must outlive it.
std::unique_ptr<QPDF> parseStrictly(const PdfSourceData& data, const QByteArray& appended,
                                    const QByteArray& password);

// The rotation and effective boxes of every page of data, in page order, read with parse().
// qpdf parses every object that shares an object stream with a page, tens of megabytes for a
// large file; all of it is freed, and given back to the system, before this returns (unless
// left to the process's end, below).
std::vector<PageGeometry> readPages(const PdfSourceData& data, const QByteArray& password);

// The first page's rotation and effective boxes, found without reading the whole page tree,
// so that a large document's first page can be shown while the rest is read; nothing when
// there is no first page to be found that way.
std::optional<PageGeometry> readFirstPage(const PdfSourceData& data, const QByteArray& password);

// For a process that ends as soon as its one task is done, as a render host does: the parses
// that end a task, reading a file's pages, writing an update and reading a saved file back,
// are from now on left for the process's end to free (see drop()). Taking a parse of 10,000 pages
// apart object by object takes a save a fifth of its time, and ending the process frees it at once.
// The parses before them are still freed, so that the last one has the memory they took.
void leaveLastParsesToProcessEnd();
// Drops the last parse of a task: frees it, or keeps it until the process ends.
void drop(std::unique_ptr<QPDF> pdf);

} // namespace QpdfParser
