#pragma once

#include "crop/PdfRenderSource.h"
#include "render/PageContentMeasurer.h"
#include "render/PageRasterizer.h"

#include <functional>
#include <memory>

class SharedRenderCopy;

// Draws a document's pages as the document services see them, from its own bytes when MuPDF
// reads them with the same pages, and from the rewritten copy otherwise: when MuPDF cannot
// open the file, counts other pages than expected, or fails on a page. A page that cannot be
// drawn either way comes back as a failure that says why.
//
// Measures content the same way, from the source its pages are drawn from.
//
// Thread: as PageRasterizer; the shared copy may be made by any of a document's rasterizers.
class RecoveringRasterizer final : public PageRasterizer, public PageContentMeasurer {
public:
    using Factory = std::function<std::unique_ptr<PageRasterizer>(const PdfRenderSource&)>;

    // expectedPages: the page count of the document services; make draws from a source.
    RecoveringRasterizer(PdfRenderSource source, int expectedPages,
                         std::shared_ptr<SharedRenderCopy> copy, Factory make);
    ~RecoveringRasterizer() override;

    PageRenderResult render(const PageRenderRequest& request, std::stop_token stop) override;
    int pageCount() const override { return expectedPages_; }
    // Nothing when the rasterizers made do not measure.
    using PageContentMeasurer::contentBounds;
    std::optional<QRectF> contentBounds(int pageIndex, const ContentBoundsOptions& options,
                                        std::stop_token stop) override;

private:
    // The rasterizer of the rewritten copy, made on first need; null when there is none or it
    // does not have the expected pages either.
    PageRasterizer* fallback();

    const Factory make_;
    std::unique_ptr<PageRasterizer> primary_;
    const int expectedPages_;
    bool primaryAgrees_;
    std::shared_ptr<SharedRenderCopy> copy_;
    std::unique_ptr<PageRasterizer> fallback_;
    bool fallbackTried_ = false;
};
