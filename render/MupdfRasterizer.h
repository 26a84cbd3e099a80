#pragma once

#include "crop/PdfRenderSource.h"
#include "render/MupdfMemoryWatch.h"
#include "render/PageContentMeasurer.h"
#include "render/PageRasterizer.h"
#include "render/ScanPicture.h"

#include <QString>

#include <map>
#include <memory>
#include <tuple>

class MupdfDocument;
struct fz_context;
struct pdf_document;

// Draws pages with MuPDF, straight from the document's bytes in memory.
//
// Each instance has its own MuPDF context and document, which is what lets several workers
// render the same file at once without locks. The document is opened (and unlocked with the
// source's password) in the constructor; if that fails, every render reports why.
//
// Thread: construct, use and destroy on any thread, one thread at a time.
class MupdfRasterizer final : public PageRasterizer, public PageContentMeasurer {
public:
    explicit MupdfRasterizer(PdfRenderSource source);
    ~MupdfRasterizer() override;

    MupdfRasterizer(const MupdfRasterizer&) = delete;
    MupdfRasterizer& operator=(const MupdfRasterizer&) = delete;

    PageRenderResult render(const PageRenderRequest& request, std::stop_token stop) override;
    int pageCount() const override { return pageCount_; }
    // Drawn bounds come from MuPDF's bounding-box device over the page as it prints; ink
    // bounds from a picture of the media box 320 pixels long, their edges then found again at
    // 300 dpi (InkEdges). Kept per page and options.
    using PageContentMeasurer::contentBounds;
    std::optional<QRectF> contentBounds(int pageIndex, const ContentBoundsOptions& options,
                                        std::stop_token stop) override;

private:
    // Why request cannot be drawn at all; empty when it can.
    QString checkRequest(const PageRenderRequest& request) const;
    // The open document; null if it could not be opened.
    pdf_document* doc() const;
    // MuPDF rebuilds the cross-references of a damaged file when it comes upon an object they
    // misplace, while drawing as well as while opening, and may then find the pages otherwise
    // than it found them on opening, or not at all. A document rebuilt since it was opened is
    // opened again, so that every request finds the pages that were counted.
    void reopenIfRebuilt();

    // MuPDF's warnings since the last render began: how many, and the first.
    struct Warnings {
        int count = 0;
        QString first;
    };

    // Kept alive here because MuPDF reads the bytes in place.
    PdfRenderSource source_;
    MupdfMemoryWatch memory_;
    fz_context* ctx_ = nullptr;
    std::unique_ptr<MupdfDocument> document_;
    int pageCount_ = 0;
    bool rebuiltOnOpening_ = false;
    QString openError_;
    // Every so many renders MuPDF drops the objects it parsed for them; the page tree, loaded
    // the first time, stays held so that pages are found without parsing again.
    int rendersSinceRelease_ = 0;
    bool pageTreeHeld_ = false;
    std::map<std::tuple<int, int, int, int, double, double, double, double>, std::optional<QRectF>>
        contentBounds_;
    // The last scan whose ink was looked for; its memory serves the next.
    ScanPicture scanPicture_;
    Warnings warnings_;
};
