#pragma once

#include "crop/SaveJob.h"

#include <exception>
#include <functional>

class PdfSourceData;
class QpdfDocumentWriter;

// Writes a save job into a file and reads the file back, wherever saves are written: in a
// render host, or in this process when there is none.
namespace JobSave {

// Writes job with writer, made for data and the job's password, into the file outputFd has
// open for reading and writing, then reads the file back through outputFd; pageWritten is
// called once per page written.
//
// With choices.removesOutside, the file written is taken through OutsideContentRemoval before
// it is read back: as each page loses what lies outside its crop box, no page keeps its
// original boxes, and a page that cannot be cleared fails the save, naming the page.
//
// Throws std::exception when the file cannot be written or the content not removed.
SaveOutcome write(const PdfSourceData& data, QpdfDocumentWriter& writer, const SaveJob& job,
                  int outputFd, const std::function<void()>& pageWritten);

// The outcome of a save that failed with error.
SaveOutcome failure(const std::exception& error);

} // namespace JobSave
