#pragma once

#include "crop/PageGeometry.h"
#include "crop/PdfSourceData.h"
#include "crop/WrittenObjects.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;
class QPDF;

// Writes a document's bytes: the original file with the boxes that were set, and in each page
// whose boxes change, the boxes it had before it was first cropped (OriginalBoxesEntry).
//
// Where it is safe, the output is the original file followed by an incremental update that
// holds only the changed page dictionaries, which keeps every original byte and costs about
// as much as copying the file; with no box set, it is the original file unchanged. The
// update is read back strictly before it is written (QpdfReadBack). A file that needed
// repair, whose pages qpdf had to rearrange, whose changed pages hold strings that would need
// encrypting (in an encrypted file, every page whose kept boxes are added or dropped does), or
// whose update does not read back cleanly is rewritten whole by qpdf, streams
// copied without decoding. Either way encryption, links, outlines and annotations are kept.
//
// pageWritten is called once per page, in page order, as the write progresses. write() says
// which objects it wrote, for the read-back (QpdfReadBack::fileReadsBack).
// Throws std::exception when the file cannot be parsed or the device fails.
class QpdfDocumentWriter {
public:
    QpdfDocumentWriter(const PdfSourceData& data, const QByteArray& password,
                       const std::vector<PageGeometry>& pages,
                       const std::vector<std::uint8_t>& setBoxes,
                       std::function<void()> pageWritten);

    WrittenObjects write(QIODevice& out) const;

private:
    void writeUpdate(const QByteArray& appended, QIODevice& out) const;
    WrittenObjects rewrite(QPDF& pdf, QIODevice& out) const;

    const PdfSourceData& data_;
    const QByteArray& password_;
    const std::vector<PageGeometry>& pages_;
    const std::vector<std::uint8_t>& setBoxes_;
    std::function<void()> pageWritten_;
};
