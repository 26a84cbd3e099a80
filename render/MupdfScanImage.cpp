#include "render/MupdfScanImage.h"

#include "render/MupdfPage.h"

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <cmath>
#include <cstring>

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
    fz_buffer* buffer;
    int colorTransform;
};

bool plainJpeg(fz_context* ctx, fz_image* image, Jpeg* jpeg) {
    fz_compressed_buffer* buffer = fz_compressed_image_buffer(ctx, image);
    if (!buffer || !buffer->buffer || buffer->params.type != FZ_IMAGE_JPEG || image->bpc != 8 ||
        image->imagemask || image->use_colorkey || image->use_decode || image->mask ||
        image->decoded || image->scalable || image->orientation > 1 ||
        (image->n != 1 && image->n != 3) || fz_colorspace_is_indexed(ctx, image->colorspace))
        return false;
    *jpeg = {buffer->buffer, buffer->params.u.jpeg.color_transform};
    return true;
}

// Whether image draws by its own pixels alone, nothing masked, at a size worth decoding whole.
bool plainImage(fz_image* image) {
    // A 600 dpi scan of a large page; a larger picture is drawn a part at a time instead.
    constexpr qint64 kMaxPixels = qint64(1) << 27;
    return !image->imagemask && !image->use_colorkey && !image->mask && !image->scalable &&
           image->orientation <= 1 && image->w > 0 && image->h > 0 &&
           qint64(image->w) * image->h <= kMaxPixels;
}

// image decoded whole in greys; null when it cannot be.
fz_pixmap* greyPixmap(fz_context* ctx, fz_image* image) {
    fz_pixmap* decoded = nullptr;
    fz_pixmap* grey = nullptr;
    fz_var(decoded);
    fz_var(grey);
    fz_try(ctx) {
        decoded = fz_get_pixmap_from_image(ctx, image, nullptr, nullptr, nullptr, nullptr);
        grey = fz_convert_pixmap(ctx, decoded, fz_device_gray(ctx), nullptr, nullptr,
                                 fz_default_color_params, 0);
    }
    fz_always(ctx) {
        fz_drop_pixmap(ctx, decoded);
    }
    fz_catch(ctx) {
        grey = nullptr;
    }
    return grey;
}

QImage greysOf(fz_context* ctx, fz_pixmap* pixmap) {
    if (!pixmap || fz_pixmap_components(ctx, pixmap) != 1)
        return {};
    const int width = fz_pixmap_width(ctx, pixmap), height = fz_pixmap_height(ctx, pixmap);
    QImage greys(width, height, QImage::Format_Grayscale8);
    if (greys.isNull())
        return {};
    const unsigned char* samples = fz_pixmap_samples(ctx, pixmap);
    const auto stride = size_t(fz_pixmap_stride(ctx, pixmap));
    for (int y = 0; y < height; ++y)
        std::memcpy(greys.scanLine(y), samples + size_t(y) * stride, size_t(width));
    return greys;
}

} // namespace

std::optional<Found> of(fz_context* ctx, pdf_document* doc, int pageIndex, const QRectF& media) {
    const MupdfPage page(ctx, doc, pageIndex);
    if (!page.get())
        return std::nullopt;
    fz_device* device = nullptr;
    fz_image* image = nullptr;
    bool found = false;
    bool isJpeg = false;
    Jpeg jpeg{};
    fz_var(device);
    fz_var(image);
    fz_var(found);
    fz_var(isJpeg);
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
        found = seen->images == 1 && !seen->drawsOther && covers(seen->ctm, box);
        isJpeg = found && plainJpeg(ctx, seen->image, &jpeg);
        found = found && (isJpeg || plainImage(seen->image));
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
    if (found && isJpeg) {
        // The bytes are read where MuPDF holds them, which they are kept for: a copy of a
        // megabyte or two costs as much as finding the ink's edges.
        fz_buffer* bytes = fz_keep_buffer(ctx, jpeg.buffer);
        scan = Found{
            QByteArray::fromRawData(reinterpret_cast<const char*>(bytes->data),
                                    qsizetype(bytes->len)),
            std::shared_ptr<void>(
                bytes, [ctx](void* kept) { fz_drop_buffer(ctx, static_cast<fz_buffer*>(kept)); }),
            {},
            QSize(image->w, image->h),
            jpeg.colorTransform};
    } else if (found) {
        fz_pixmap* grey = greyPixmap(ctx, image);
        QImage greys = greysOf(ctx, grey);
        fz_drop_pixmap(ctx, grey);
        if (!greys.isNull())
            scan = Found{{}, {}, std::move(greys), QSize(image->w, image->h)};
    }
    fz_drop_image(ctx, image);
    return scan;
}

} // namespace MupdfScanImage
