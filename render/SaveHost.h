#pragma once

#include "crop/PagesRead.h"
#include "crop/SaveJob.h"
#include "render/RenderHostProcess.h"

#include <QByteArray>
#include <QString>

#include <functional>

class PdfSourceData;

// One save in a render host process of its own, so that a file that crashes qpdf, loops in
// it or takes all memory fails the save instead of ending the program.
//
// The host starts when this is made and parses the document at once; the boxes to write and
// the file to write them into come later with save(), so a host made while the user chooses
// where to save has most of a large file's save done by then. A host that stops or takes too
// long fails the save, saying so.
//
// One thread at a time.
class SaveHost {
public:
    // data (not owned) outlives this; the host may allocate memoryMb megabytes (see
    // RenderHost::run). One that readsPages first answers readPages() before it saves.
    SaveHost(const PdfSourceData& data, const QByteArray& password, const QString& hostPath,
             int memoryMb, bool readsPages = false);

    // The pages the host read from the parse it saves with, as ContainedReading::readPages()
    // gives them; first, and only when made to read pages. A host that did not read them
    // cannot save.
    PagesRead readPages();

    // Whether this host saves data with password.
    bool saves(const PdfSourceData& data, const QByteArray& password) const {
        return &data == &data_ && password == password_;
    }

    // Writes job, whose data and password must be this host's, into the file outputFd has open
    // for reading and writing and reads the file back through outputFd; pageWritten is called
    // once per page written. Once only.
    SaveOutcome save(const SaveJob& job, int outputFd, const std::function<void()>& pageWritten);

private:
    const PdfSourceData& data_;
    const QByteArray password_;
    RenderHostProcess process_;
    bool started_ = false;
};
