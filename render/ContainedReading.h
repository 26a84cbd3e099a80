#pragma once

#include "crop/PagesRead.h"

#include <QByteArray>
#include <QString>

#include <optional>

class PdfSourceData;

// Reading a document's pages and repairing a damaged one in a render host process, so that a
// file that crashes a library, loops in it or takes all memory fails to open instead of ending
// the program. SaveHost saves one.
//
// Any thread; each call starts a host of its own, which may allocate memoryMb megabytes (see
// RenderHost::run), and waits for it.
namespace ContainedReading {

// What a host is started with to do task ("--read-pages" and so on), allocating at most
// memoryMb megabytes.
QStringList hostArguments(const QString& task, int memoryMb);
// How long a host may take over data, or between two pages of a save.
int timeoutMs(const PdfSourceData& data);

// The pages a host's answer says it read; without one, unreadable, saying whether the host took
// too long or stopped.
PagesRead pagesAnswered(const std::optional<QByteArray>& answer, bool timedOut);
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
// As MupdfRepair::repairedCopy(), in the host at hostPath; null when the host fails.
std::shared_ptr<const PdfSourceData> repair(const PdfSourceData& data, const QString& hostPath,
                                            int memoryMb);

} // namespace ContainedReading
