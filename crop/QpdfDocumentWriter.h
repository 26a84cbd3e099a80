#pragma once

#include "crop/PageGeometry.h"
#include "crop/PdfSourceData.h"
#include "crop/SaveJob.h"
#include "crop/WrittenObjects.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QPDF;
class QPDFObjectHandle;

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
// The file is parsed and its pages found when the writer is made, which on a large file is
// most of a save's work and needs nothing of the crops, so a writer can be made while the
// user still chooses where to save. write() writes once; pageWritten is called once per page,
// in page order, as the write progresses. write() says which objects it wrote, for the
// read-back (QpdfReadBack::fileReadsBack).
// Throws std::exception when the file cannot be parsed or the device fails.
class QpdfDocumentWriter {
public:
    QpdfDocumentWriter(const PdfSourceData& data, const QByteArray& password);
    ~QpdfDocumentWriter();

    QpdfDocumentWriter(const QpdfDocumentWriter&) = delete;
    QpdfDocumentWriter& operator=(const QpdfDocumentWriter&) = delete;

    // The file's pages' geometry, as QpdfParser::readPages() reads it. Before write().
    std::vector<PageGeometry> geometry() const;

    // The pages with geometry, the boxes set in setBoxes (one bit per PdfBox and page) written,
    // as choices say.
    WrittenObjects write(QIODevice& out, const std::vector<PageGeometry>& geometry,
                         const std::vector<std::uint8_t>& setBoxes, const SaveChoices& choices,
                         const std::function<void()>& pageWritten);

private:
    void writeUpdate(const QByteArray& appended, QIODevice& out, qint64 pageCount,
                     const std::function<void()>& pageWritten) const;
    // The whole file written afresh, encrypted as it was or, without keepsEncryption, not.
    static WrittenObjects rewrite(QPDF& pdf, QIODevice& out, int pageCount, bool keepsEncryption,
                                  const std::function<void()>& pageWritten);

    const PdfSourceData& data_;
    const QByteArray password_;
    std::unique_ptr<QPDF> pdf_;
    std::vector<QPDFObjectHandle> sourcePages_;
};
