#pragma once

#include "crop/PageGeometry.h"
#include "crop/PdfSourceData.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

class QPDFObjectHandle;

// Whether a file followed by an incremental update reads back as a strict reader reads it:
// qpdf, with repairs switched off, must follow the whole cross-reference chain to the
// trailer and the document catalog without a warning, and find the first and the last
// changed page at their new places with their new boxes.
//
// The save checks its update this way before writing anything, on the original bytes and the
// update in memory, so an update that would only read after repair is never written: the
// save rewrites the file instead. Reading every changed page back would cost about as much
// again as the rest of a save of a long document (qpdf takes some 50 µs a page), while the
// cross-reference sections cost a few milliseconds. The pages in between are made by the
// same code as the first and the last, which test where the appended objects start and end.
namespace QpdfUpdateCheck {

// pages: the document's pages as parsed before the update, for their object numbers.
bool readsBack(const PdfSourceData& data, const QByteArray& appended, const QByteArray& password,
               const std::vector<QPDFObjectHandle>& pages,
               const std::vector<PageGeometry>& geometry,
               const std::vector<std::uint8_t>& setBoxes);

} // namespace QpdfUpdateCheck
