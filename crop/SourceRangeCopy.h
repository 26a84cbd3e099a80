#pragma once

#include "crop/PdfSourceData.h"

class QIODevice;

// Copies bytes [from, to) of a source file to the end of out. Into a file, the copy is made
// inside the kernel, as cp makes it, so the bytes are neither read into this process nor
// counted in its memory; elsewhere, or where the file systems do not allow that, they are
// written from the mapped source. Throws std::system_error (std::runtime_error where the
// system gave no reason) when the copy fails.
namespace SourceRangeCopy {

void copy(const PdfSourceData& data, qint64 from, qint64 to, QIODevice& out);

} // namespace SourceRangeCopy
