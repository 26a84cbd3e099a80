#pragma once

#include "crop/PagesRead.h"
#include "crop/PdfRenderSource.h"
#include "crop/QpdfLoader.h"
#include "render/PageRasterizer.h"

#include <QByteArray>
#include <QStringList>

#include <memory>
#include <optional>

class PdfSourceData;

// Where the program lets the PDF libraries loose on a document's bytes: reading its pages,
// saving it, repairing it and drawing it. The shipped program works in render host
// processes, so a file that crashes or hangs a library costs only that job; without a host
// everything happens in this process.
//
// Chosen once at start-up and handed to everything that opens, saves or draws documents.
// Every function may be called from any thread at the same time.
class RenderWorkplace {
public:
    virtual ~RenderWorkplace() = default;

    // A render host workplace when one of hostCandidates is an executable file, the first
    // such; this process otherwise.
    static std::shared_ptr<const RenderWorkplace> choose(const QStringList& hostCandidates);

    // Opens documents whose pages are read, and whose saves are written, here.
    virtual QpdfLoader loader() const = 0;
    // As readFirstPageHere(): the first page alone, before the whole file is read.
    virtual PagesRead readFirstPage(const PdfSourceData& data,
                                    const QByteArray& password) const = 0;
    // As MupdfRepair::repairedCopy(); nothing when the file cannot be repaired.
    virtual std::shared_ptr<const PdfSourceData> repair(const PdfSourceData& data) const = 0;
    // As QpdfRenderCopy::of(): the copy drawn from when the renderer cannot read the file.
    virtual std::optional<PdfRenderSource> renderCopy(const PdfRenderSource& source) const = 0;
    // A rasterizer of source's pages; one that also measures content.
    virtual std::unique_ptr<PageRasterizer> rasterizer(const PdfRenderSource& source) const = 0;
};
