#include "crop/CropRecords.h"

#include "crop/CropGeometry.h"
#include "crop/PdfDocument.h"
#include "crop/RectString.h"

namespace CropRecords {

std::vector<RMCropInfo> build(const PdfDocument& document) {
    const int count = document.pageCount();
    std::vector<RMCropInfo> records;
    records.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        records.push_back(build(document, i));
    return records;
}

RMCropInfo build(const PdfDocument& document, int index) {
    RMCropInfo record;
    record.pageRoation = document.rotation(index);
    const QRectF box = document.boundsForBox(index, PdfBox::Crop);
    record.originalPageRect = box;
    const bool sideways = record.pageRoation == 90 || record.pageRoation == 270;
    record.pageRect = sideways ? QRectF(box.x(), box.y(), box.height(), box.width()) : box;
    record.cropRect = QRectF(0, 0, record.pageRect.width(), record.pageRect.height());
    return record;
}

RMMainPDFShowInfo showInfo(const QImage& pageImage, const RMCropInfo& record) {
    const QRectF show = CropGeometry::mainPDFImgViewShowRect(record.pageRect);
    const QRectF viewCrop =
        CropGeometry::pdfImgViewCropRectWithShowRect(show, record.pageRect, record.cropRect);
    return RMMainPDFShowInfo{pageImage, RectString::fromRect(show), RectString::fromRect(viewCrop)};
}

} // namespace CropRecords
