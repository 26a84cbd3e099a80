#pragma once

#include "crop/OriginalBoxesEntry.h"
#include "crop/PageGeometry.h"
#include "crop/PdfIncrementalUpdate.h"
#include "crop/PdfSourceData.h"

#include <cstdint>
#include <optional>
#include <vector>

class QPDF;
class QPDFObjectHandle;
class QpdfPageLayout;

// Decides whether a document's set boxes can be saved as an incremental update of its file,
// and makes the update when they can: each changed page dictionary written again with its
// new boxes and, as originals says, the boxes it was opened with kept or dropped. Nothing when
// an update would be unsafe: a file qpdf had to repair, one that does not start with its
// header or end with a readable cross-reference offset, a page qpdf made itself, or, in an
// encrypted file, a changed page holding strings before or after the change (they would need
// encrypting with the page's key), as every page whose kept boxes are added or dropped does.
//
// Pages laid out anew (layout, when given) add the new pages, the page tree's nodes that hold
// them and the annotations that moved; nothing when the tree cannot take them in place.
namespace QpdfUpdateBuilder {

// pages: the file's pages, or with layout, the document's.
std::optional<PdfIncrementalUpdate>
build(QPDF& pdf, const PdfSourceData& data, const std::vector<QPDFObjectHandle>& pages,
      const std::vector<PageGeometry>& geometry, const std::vector<std::uint8_t>& setBoxes,
      const OriginalBoxesEntry& originals, const QpdfPageLayout* layout = nullptr);

} // namespace QpdfUpdateBuilder
