#pragma once

#include "crop/PdfRenderSource.h"

#include <optional>

// A copy of a document for drawing, written by qpdf: repaired where qpdf can repair it, not
// encrypted, its cross-reference table and page tree written afresh. Some files that a
// renderer cannot read, or reads with pages missing, it reads once qpdf has rewritten them;
// the pages are the same, in the same order, as qpdf sees them.
namespace QpdfRenderCopy {

// The rewritten copy of source, held in memory; nothing when qpdf cannot read or write it.
// Any thread; reads source's bytes only.
std::optional<PdfRenderSource> of(const PdfRenderSource& source);

} // namespace QpdfRenderCopy
