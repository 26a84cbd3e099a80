#pragma once

#include "crop/PdfRenderSource.h"
#include "render/RecoveringRasterizer.h"

#include <functional>
#include <memory>

// The rasterizers of one document as the program draws and measures its pages: in a render
// host process when there is one (RenderHostLocation), so a page that crashes or hangs the
// renderer costs only that page, and with MuPDF in this process otherwise. Pages the renderer
// cannot read from the file itself are drawn from qpdf's rewrite of it, made once, by the
// first rasterizer that needs it, and shared by all that the maker makes.
namespace DocumentRasterizers {

using Maker = std::function<std::unique_ptr<RecoveringRasterizer>()>;

// A maker of rasterizers for source, whose document services count pages pages. The maker
// may be called on any thread; each rasterizer is then used as PageRasterizer says.
Maker maker(const PdfRenderSource& source, int pages);

} // namespace DocumentRasterizers
