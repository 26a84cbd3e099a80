#include "fuzz/RenderHostMessageSeeds.h"

#include "render/RenderHostProtocol.h"

#include <QImage>

using namespace RenderHostProtocol;

std::vector<BadPdf> renderHostMessageSeeds() {
    PageGeometry cropped;
    cropped.rotation = 90;
    cropped.boxes.fill(QRectF(0, 0, 612, 792));
    cropped.box(PdfBox::Crop) = QRectF(72, 72, 300, 400);
    cropped.keptOriginal = cropped.boxes;
    PageGeometry damaged;
    damaged.damaged = true;
    const PagesRead read{PagesRead::Outcome::Read, {cropped, damaged}, {}};
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.setDevicePixelRatio(2);
    return {
        {"opened", encodeOpened(3, {})},
        {"not-opened", encodeOpened(0, QStringLiteral("The document could not be read."))},
        {"request", encodeRequest({1, QRectF(0, 0, 612, 792), 90, QSize(120, 160), 2})},
        {"bounds-request", encodeBoundsRequest(2, {ContentBoundsOptions::Mode::Ink, 200, 4})},
        {"bounds", encodeBounds(QRectF(10, 20, 300, 400))},
        {"no-bounds", encodeBounds(std::nullopt)},
        {"picture", encodeResult(PageRenderResult::success(picture))},
        {"no-picture", encodeResult(PageRenderResult::failure(QStringLiteral("Page 2 failed")))},
        {"pages", encodePages(read)},
        {"locked", encodePages({PagesRead::Outcome::Locked, {}, QStringLiteral("Locked")})},
        {"save-job", encodeSaveJob({nullptr, {}, read.pages, {1, 0}, {}})},
        {"save-job-keeping-no-originals",
         encodeSaveJob({nullptr, {}, read.pages, {1, 0}, {false}})},
        {"pages-written", encodePagesWritten(3)},
        {"save-job-removing-outside",
         encodeSaveJob({nullptr, {}, read.pages, {1, 0}, {false, false, true}})},
        {"saved", encodeSaveOutcome({true, {}, 0, true, false, {}})},
        {"saved-removing-outside",
         encodeSaveOutcome({true, {}, 0, true, false, {{0, 12, 1, 3, 1, 40000}}})},
        {"not-saved",
         encodeSaveOutcome({false, QStringLiteral("Disk full"), 28, false, false, {}})},
        {"copy-written", encodeCopyWritten(true)},
        {"no-copy", encodeCopyWritten(false)},
    };
}
