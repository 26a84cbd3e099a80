#pragma once

#include "crop/PdfRenderSource.h"
#include "render/RecoveringRasterizer.h"

#include <functional>
#include <memory>

class RenderWorkplace;

// The rasterizers of one document as the program draws and measures its pages, in the
// program's render workplace. Pages the renderer cannot read from the file itself are drawn
// from the rewrite of it, made once, by the first rasterizer that needs it, and shared by
// all that the maker makes.
namespace DocumentRasterizers {

using Maker = std::function<std::unique_ptr<RecoveringRasterizer>()>;

// A maker of rasterizers for source, whose document services count pages pages. The maker
// may be called on any thread; each rasterizer is then used as PageRasterizer says.
Maker maker(const PdfRenderSource& source, int pages,
            std::shared_ptr<const RenderWorkplace> workplace);

} // namespace DocumentRasterizers
