#pragma once

#include "crop/PagesRead.h"
#include "crop/SaveJob.h"

#include <QByteArray>
#include <QString>

#include <optional>

class PdfSourceData;

// Reading a document's pages, repairing a damaged one and saving one, in a render host process,
// so that a file that crashes a library, loops in it or takes all memory fails to open or to
// save instead of ending the program.
//
// Any thread; each call starts a host of its own, which may allocate memoryMb megabytes (see
// RenderHost::run), and waits for it.
namespace ContainedReading {

// As readPagesHere(), in the host at hostPath. A host that stops or takes too long leaves the
// document unreadable, saying so.
PagesRead readPages(const PdfSourceData& data, const QByteArray& password, const QString& hostPath,
                    int memoryMb);
// As readFirstPageHere(), in the host at hostPath.
PagesRead readFirstPage(const PdfSourceData& data, const QByteArray& password,
                        const QString& hostPath, int memoryMb);
// As QpdfRenderCopy::of(), in the host at hostPath: the rewritten copy, which needs no
// password; null when the host fails.
std::shared_ptr<const PdfSourceData> renderCopy(const PdfSourceData& data,
                                                const QByteArray& password, const QString& hostPath,
                                                int memoryMb);
// Writes job into the file outputFd has open for reading and writing and reads the file back
// through outputFd, in the host at hostPath (a SaveWriter). A host that stops or takes too
// long fails the save, saying so.
SaveOutcome save(const SaveJob& job, int outputFd, const std::function<void()>& pageWritten,
                 const QString& hostPath, int memoryMb);
// As MupdfRepair::repairedCopy(), in the host at hostPath; null when the host fails.
std::shared_ptr<const PdfSourceData> repair(const PdfSourceData& data, const QString& hostPath,
                                            int memoryMb);

} // namespace ContainedReading
