#pragma once

#include "crop/PageGeometry.h"
#include "crop/PdfSourceData.h"
#include "crop/WrittenObjects.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class QPDFObjectHandle;

// Whether what a save makes reads back as a strict reader reads it: qpdf, with repairs
// switched off, must follow the whole cross-reference chain to the trailer and the document
// catalog, and find the document's pages as the document holds them. A page holds its set
// boxes as they were written (to within the six decimals they are written with), and its
// rotation, media box and crop box as the document shows them, except a crop box left alone on
// a page whose media box was set, which the new media box may clip.
//
// What the save wrote is no worse than the source, the file the user opened: qpdf warns of no
// problem in it that a strict reader does not find in the source as often (ReadBackBaseline),
// so a clean source saves without a warning while a harmless flaw that the save carries on,
// such as a name with a stray "#", does not stop every save. And every stream the save wrote,
// or copied and encrypted again, must read (QpdfStreamCheck) if its source stream did.
namespace QpdfReadBack {

// Whether a file followed by an incremental update reads back, with every page the update
// holds at its new place and holding its boxes, and nothing else changed but the update's own
// cross-reference section.
//
// The save checks its update this way before writing anything, on the original bytes and the
// update in memory, so an update that would only read after repair is never written: the
// save rewrites the file instead. Each updated page is read where the update's
// cross-reference section says it is, as qpdf reads an object, but not kept: kept, the
// pages of a 10,000-page update take hundreds of megabytes. The source is data itself.
//
// pages: the document's pages as parsed before the update, for their object numbers.
bool updateReadsBack(const PdfSourceData& data, const QByteArray& appended,
                     const QByteArray& password, const std::vector<QPDFObjectHandle>& pages,
                     const std::vector<PageGeometry>& geometry,
                     const std::vector<std::uint8_t>& setBoxes);

// Whether the file at path reads back with exactly the document's pages, every one of them.
//
// The save checks the file it wrote this way before the file replaces anything, so a write
// that went wrong anywhere, in our code, in qpdf's or on the way to the disk, costs the user
// the save and never the file they had. An update was read back in memory before it was
// written (updateReadsBack), so its file need only hold what written says was appended, byte
// for byte, after the source's bytes, which must read as far as a strict reader follows the
// update back into them: to the cross-reference sections, the trailers and the catalog. A
// rewrite is read as a reader reads it: besides the cross-reference sections, the page tree
// and the page dictionaries, the streams the save wrote. The source is read only where the
// saved file has a problem, to see whether the source has it too.
bool fileReadsBack(const QString& path, const PdfSourceData& source, const QByteArray& password,
                   const std::vector<PageGeometry>& geometry,
                   const std::vector<std::uint8_t>& setBoxes, const WrittenObjects& written);
// The same for a file already mapped, as the render host maps the file it wrote through the
// descriptor it wrote it to.
bool fileReadsBack(const PdfSourceData& file, const PdfSourceData& source,
                   const QByteArray& password, const std::vector<PageGeometry>& geometry,
                   const std::vector<std::uint8_t>& setBoxes, const WrittenObjects& written);

// Whether a file written anew without what lay outside its pages' crop boxes reads back
// strictly, without a warning: with exactly the document's pages, each turned as it was and
// with the part of its media box its crop box showed for both boxes, and every stream read.
bool removalReadsBack(const PdfSourceData& file, const QByteArray& password,
                      const std::vector<PageGeometry>& geometry);

} // namespace QpdfReadBack
