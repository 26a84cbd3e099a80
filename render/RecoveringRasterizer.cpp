#include "render/RecoveringRasterizer.h"

#include "render/SharedRenderCopy.h"

RecoveringRasterizer::RecoveringRasterizer(PdfRenderSource source, int expectedPages,
                                           std::shared_ptr<SharedRenderCopy> copy, Factory make)
    : make_(std::move(make)), primary_(make_(source)), expectedPages_(expectedPages),
      primaryAgrees_(primary_->pageCount() == expectedPages), copy_(std::move(copy)) {}

RecoveringRasterizer::~RecoveringRasterizer() = default;

PageRenderResult RecoveringRasterizer::render(const PageRenderRequest& request,
                                              std::stop_token stop) {
    PageRenderResult result;
    if (primaryAgrees_) {
        result = primary_->render(request, stop);
        if (result.error.isEmpty())
            return result;
    }
    if (PageRasterizer* other = fallback()) {
        PageRenderResult second = other->render(request, stop);
        if (second.error.isEmpty() || !primaryAgrees_)
            return second;
    }
    if (primaryAgrees_)
        return result;
    if (primary_->pageCount() == 0) {
        // A renderer that stopped while it read the document reads it again for this page.
        result = primary_->render(request, stop);
        primaryAgrees_ = primary_->pageCount() == expectedPages_;
        if (primaryAgrees_ || primary_->pageCount() == 0)
            return result;
    }
    // Pages numbered differently would show the wrong page: nothing is drawn from them.
    return PageRenderResult::failure(
        QStringLiteral("The page cannot be drawn: the document's pages are damaged."));
}

std::optional<QRectF> RecoveringRasterizer::contentBounds(int pageIndex,
                                                          const ContentBoundsOptions& options,
                                                          std::stop_token stop) {
    PageRasterizer* source = primaryAgrees_ ? primary_.get() : fallback();
    auto* measurer = dynamic_cast<PageContentMeasurer*>(source);
    return measurer ? measurer->contentBounds(pageIndex, options, stop) : std::nullopt;
}

PageRasterizer* RecoveringRasterizer::fallback() {
    if (!fallbackTried_) {
        fallbackTried_ = true;
        if (copy_) {
            if (const auto& copy = copy_->get()) {
                std::unique_ptr<PageRasterizer> rasterizer = make_(*copy);
                if (rasterizer->pageCount() == expectedPages_)
                    fallback_ = std::move(rasterizer);
            }
        }
    }
    return fallback_.get();
}
