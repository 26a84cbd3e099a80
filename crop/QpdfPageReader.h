#pragma once

#include "crop/PageGeometry.h"

#include <vector>

class QPDFObjectHandle;

// Reads a page's rotation and boxes as ISO 32000 defines them: /MediaBox, /CropBox and
// /Rotate may be inherited from the page tree; a box's corners may come in any order; a
// missing or unusable media box is US Letter; a missing crop box is the media box; bleed,
// trim and art boxes default to the crop box; every box is clipped to the media box, and one
// that does not overlap it falls back to its default. The boxes kept from before the page was
// first cropped (OriginalBoxesEntry) are read as written, unclipped, and so is the part a page
// split from another is of it. readAll() gives each page its place in the file.
namespace QpdfPageReader {

PageGeometry read(const QPDFObjectHandle& page);
// Each of pages, in order.
std::vector<PageGeometry> readAll(const std::vector<QPDFObjectHandle>& pages);

} // namespace QpdfPageReader
