#include "render/MupdfScanImage.h"

#include "render/MupdfPage.h"

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <cmath>

namespace MupdfScanImage {

namespace {

// Records the images a page draws and whether it draws anything else. Only plain pointers and
// numbers: it lives within MuPDF's fz_try blocks.
struct ProbeDevice {
    fz_device super;
    int images;
    fz_image* image;
    fz_matrix ctm;
    bool drawsOther;
};

ProbeDevice* probe(fz_device* device) {
    return reinterpret_cast<ProbeDevice*>(device);
}

template <class... Arguments> void drawOther(fz_context*, fz_device* device, Arguments...) {
    probe(device)->drawsOther = true;
}

int tileOther(fz_context*, fz_device* device, fz_rect, fz_rect, float, float, fz_matrix, int) {
    probe(device)->drawsOther = true;
    return 0;
}

// Keeps the last image drawn: what drew it may drop it before the page is done.
void fillImage(fz_context* ctx, fz_device* device, fz_image* image, fz_matrix ctm, float alpha,
               fz_color_params) {
    ProbeDevice* seen = probe(device);
    ++seen->images;
    fz_drop_image(ctx, seen->image);
    seen->image = fz_keep_image(ctx, image);
    seen->ctm = ctm;
    seen->drawsOther = seen->drawsOther || alpha < 1;
}

fz_device* newProbeDevice(fz_context* ctx) {
    auto* device = probe(fz_new_device_of_size(ctx, sizeof(ProbeDevice)));
    device->super.fill_path = &drawOther;
    device->super.stroke_path = &drawOther;
    device->super.clip_path = &drawOther;
    device->super.clip_stroke_path = &drawOther;
    device->super.fill_text = &drawOther;
    device->super.stroke_text = &drawOther;
    device->super.clip_text = &drawOther;
    device->super.clip_stroke_text = &drawOther;
    device->super.fill_shade = &drawOther;
    device->super.fill_image = &fillImage;
    device->super.fill_image_mask = &drawOther;
    device->super.clip_image_mask = &drawOther;
    device->super.begin_mask = &drawOther;
    device->super.begin_group = &drawOther;
    device->super.begin_tile = &tileOther;
    return &device->super;
}

// Whether the image maps onto box, upright, within a tenth of a point.
bool covers(fz_matrix ctm, fz_rect box) {
    constexpr float kPoint = 0.1f;
    return ctm.b == 0 && ctm.c == 0 && std::abs(ctm.e - box.x0) < kPoint &&
           std::abs(ctm.e + ctm.a - box.x1) < kPoint && std::abs(ctm.f + ctm.d - box.y0) < kPoint &&
           std::abs(ctm.f - box.y1) < kPoint;
}

// The JPEG bytes of image, when they are all it takes to draw it.
struct Jpeg {
    const unsigned char* data;
    size_t size;
    int colorTransform;
};

bool plainJpeg(fz_context* ctx, fz_image* image, Jpeg* jpeg) {
    fz_compressed_buffer* buffer = fz_compressed_image_buffer(ctx, image);
    if (!buffer || !buffer->buffer || buffer->params.type != FZ_IMAGE_JPEG || image->bpc != 8 ||
        image->imagemask || image->use_colorkey || image->use_decode || image->mask ||
        image->decoded || image->scalable || image->orientation > 1 ||
        (image->n != 1 && image->n != 3) || fz_colorspace_is_indexed(ctx, image->colorspace))
        return false;
    *jpeg = {buffer->buffer->data, buffer->buffer->len, buffer->params.u.jpeg.color_transform};
    return true;
}

} // namespace

std::optional<Found> of(fz_context* ctx, pdf_document* doc, int pageIndex, const QRectF& media) {
    const MupdfPage page(ctx, doc, pageIndex);
    if (!page.get())
        return std::nullopt;
    fz_device* device = nullptr;
    fz_image* image = nullptr;
    bool found = false;
    Jpeg jpeg{};
    fz_var(device);
    fz_var(image);
    fz_var(found);
    fz_try(ctx) {
        fz_rect pageBounds;
        fz_matrix pageCtm;
        pdf_page_transform(ctx, page.get(), &pageBounds, &pageCtm);
        device = newProbeDevice(ctx);
        // As the page prints, in page space, as when its drawn bounds are measured.
        pdf_run_page_with_usage(ctx, page.get(), device, fz_invert_matrix(pageCtm), "Print",
                                nullptr);
        fz_close_device(ctx, device);
        const ProbeDevice* seen = probe(device);
        const fz_rect box{float(media.left()), float(media.top()), float(media.right()),
                          float(media.bottom())};
        found = seen->images == 1 && !seen->drawsOther && covers(seen->ctm, box) &&
                plainJpeg(ctx, seen->image, &jpeg);
    }
    fz_always(ctx) {
        if (device)
            image = probe(device)->image;
        fz_drop_device(ctx, device);
    }
    fz_catch(ctx) {
        found = false;
    }
    std::optional<Found> scan;
    if (found) {
        scan = Found{QByteArray(reinterpret_cast<const char*>(jpeg.data), qsizetype(jpeg.size)),
                     QSize(image->w, image->h), jpeg.colorTransform};
    }
    fz_drop_image(ctx, image);
    return scan;
}

} // namespace MupdfScanImage
