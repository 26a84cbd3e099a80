#pragma once

#include "crop/PagesRead.h"

#include <QByteArray>
#include <QString>

#include <optional>

class PdfSourceData;

// Reading a document's pages, and repairing a damaged one, in a render host process, so that
// a file that crashes the library, loops in it or takes all memory fails to open instead of
// ending the program.
//
// Any thread; each call starts a host of its own and waits for it.
namespace ContainedReading {

// As readPagesHere(), in the host at hostPath. A host that stops or takes too long leaves the
// document unreadable, saying so.
PagesRead readPages(const PdfSourceData& data, const QByteArray& password, const QString& hostPath);
// As readFirstPageHere(), in the host at hostPath.
PagesRead readFirstPage(const PdfSourceData& data, const QByteArray& password,
                        const QString& hostPath);
// As QpdfRenderCopy::of(), in the host at hostPath: the rewritten copy's bytes, which need no
// password; nothing when the host fails.
std::optional<QByteArray> renderCopy(const PdfSourceData& data, const QByteArray& password,
                                     const QString& hostPath);
// As MupdfRepair::repairedCopy(), in the host at hostPath; nothing when the host fails.
std::optional<QByteArray> repair(const PdfSourceData& data, const QString& hostPath);

} // namespace ContainedReading
