#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>

#include <memory>
#include <optional>

struct fz_context;
struct pdf_document;

// The picture of a scanned page as its file holds it: an image that is all the page draws, as
// it prints, upright over the whole media box. Its ink can then be read from the picture
// decoded once (ScanPicture) instead of drawing the page, which decodes the image anew for
// every part of the page drawn: a JPEG is handed over as it is, to be read by its blocks, any
// other image decoded here.
//
// Thread: the one that uses ctx.
namespace MupdfScanImage {

struct Found {
    // A JPEG's bytes, held by MuPDF for as long as jpegKept is; the context they were found
    // with must outlive it. Empty for another kind of image, then decoded in greys.
    QByteArray jpeg;
    std::shared_ptr<void> jpegKept;
    QImage greys;
    QSize pixels;
    // The PDF's /ColorTransform: -1 when the JPEG says itself whether its colours are YCbCr.
    int colorTransform = -1;
};

// The scan of page pageIndex of doc, whose media box is media (PDF page space); nothing for a
// page that draws anything else, or otherwise, or that cannot be read.
std::optional<Found> of(fz_context* ctx, pdf_document* doc, int pageIndex, const QRectF& media);

} // namespace MupdfScanImage
