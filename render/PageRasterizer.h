#pragma once

#include "render/PageRenderRequest.h"
#include "render/PageRenderResult.h"

#include <stop_token>

// Draws the pages of one document.
//
// Callers see only this interface, so the drawing can later move into a child process (to
// contain files that crash or hang the library) without any caller changing.
//
// Synchronous, and used by one thread at a time; that thread may differ from the one that
// created the instance. Never throws: every failure comes back as a result with a message.
class PageRasterizer {
public:
    virtual ~PageRasterizer() = default;

    // Renders request. When stop is requested (from any thread) the render ends early and
    // the result says it was cancelled.
    virtual PageRenderResult render(const PageRenderRequest& request, std::stop_token stop) = 0;
    // Number of pages; 0 when the document could not be opened.
    virtual int pageCount() const = 0;
};
