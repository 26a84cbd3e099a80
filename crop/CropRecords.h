#pragma once

#include "crop/RMCropInfo.h"
#include "crop/RMMainPDFShowInfo.h"

#include <QImage>

#include <vector>

class PdfDocument;

// Building the per-page crop records and the page view's snapshot of one page.
namespace CropRecords {

// One uncropped record per page of the document, in page order, from each page's current
// crop box and rotation.
std::vector<RMCropInfo> build(const PdfDocument& document);
// The same for page index alone.
RMCropInfo build(const PdfDocument& document, int index);

// The page view's snapshot of a page: its image, where the page view sits in the square,
// and where the crop marker sits in the page view.
RMMainPDFShowInfo showInfo(const QImage& pageImage, const RMCropInfo& record);

} // namespace CropRecords
