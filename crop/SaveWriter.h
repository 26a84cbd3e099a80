#pragma once

#include "crop/PagesRead.h"
#include "crop/SaveJob.h"

#include <QByteArray>

#include <functional>
#include <memory>

class PdfSourceData;

// Writes saves elsewhere than in this process. Every copy of a document shares its writer.
//
// Any thread, several at a time.
class SaveWriter {
public:
    virtual ~SaveWriter() = default;

    // A save of data unlocked with password may come soon: what it needs before the boxes to
    // write are known (parsing the file, which on a large one is most of a save) starts now,
    // and a save of data with password soon after uses it.
    virtual void prepare(std::shared_ptr<const PdfSourceData> data, const QByteArray& password) = 0;
    // Reads data's pages, as a document's PageReader does, and prepares its save in the same
    // go, sparing the save a parse of its own: for a document saved as soon as it is opened.
    virtual PagesRead readPagesAndPrepare(std::shared_ptr<const PdfSourceData> data,
                                          const QByteArray& password) = 0;
    // Writes job into the file outputFd has open for reading and writing, and reads the file
    // back through outputFd; pageWritten is called once per page written, on the calling
    // thread.
    virtual SaveOutcome save(const SaveJob& job, int outputFd,
                             const std::function<void()>& pageWritten) = 0;
};
