#include "render/MupdfRasterizer.h"

#include "render/InkBounds.h"
#include "render/InkEdges.h"
#include "render/MupdfDocument.h"
#include "render/MupdfPage.h"
#include "render/MupdfScanImage.h"
#include "render/PageToImageTransform.h"
#include "render/ScanPicture.h"

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <QLoggingCategory>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>

namespace {

Q_LOGGING_CATEGORY(lcMupdf, "cropmark.render.mupdf", QtWarningMsg)

// MuPDF's own cache of decoded fonts and images, per instance. Its default (256 MB) is sized
// for one viewer; here every worker of every open document has one, and the pages drawn are
// mostly new ones (the strip fills in as it scrolls), which a large store would not speed up.
// MuPDF counts only part of what a stored font holds, so the memory it takes is several times
// this.
constexpr size_t kStoreBytes = 2u << 20;

// MuPDF keeps every object it parses until the document is closed, so drawing the pages one
// after another would leave each worker holding the whole file parsed. Every so many renders
// the objects no longer in use are dropped, to be parsed again when a page needs them.
constexpr int kRendersBetweenReleases = 32;

// The longer side of the small picture ink is first looked for on, in pixels.
constexpr double kSmallPictureSide = 320;

// The ink's edges are found again at this resolution, which scans are made at: an edge then
// cuts no pixel of ink that a picture this fine shows.
constexpr double kInkDpi = 300;

// Larger pictures are refused: a bad request must not exhaust memory.
constexpr int kMaxPixelSide = 32768;
constexpr qint64 kMaxPixelBytes = qint64(1) << 30;

// MuPDF's complaints about malformed files are expected and answered by results; they are
// kept out of the terminal unless this category is enabled.
void logMupdfMessage(void*, const char* message) {
    qCDebug(lcMupdf, "%s", message);
}

// A warning while a page is drawn means part of it could not be read: MuPDF goes on past
// what it cannot read, and may draw nothing at all.
template <class Warnings> void countMupdfWarning(void* warnings, const char* message) {
    logMupdfMessage(nullptr, message);
    auto& seen = *static_cast<Warnings*>(warnings);
    if (seen.count++ == 0)
        seen.first = QString::fromUtf8(message);
}

// The functions below keep C++ objects outside their fz_try blocks and only plain pointers
// and numbers inside: MuPDF reports errors with longjmp, which must never skip a C++
// destructor. After false, the error is in ctx (fz_caught_message).

// Whether the page's content streams hold any bytes; throws as MuPDF does.
bool holdsContent(fz_context* ctx, pdf_obj* page) {
    pdf_obj* contents = pdf_dict_get(ctx, page, PDF_NAME(Contents));
    if (!pdf_is_array(ctx, contents))
        return pdf_dict_get_int(ctx, contents, PDF_NAME(Length)) > 0;
    for (int i = 0; i < pdf_array_len(ctx, contents); ++i) {
        if (pdf_dict_get_int(ctx, pdf_array_get(ctx, contents, i), PDF_NAME(Length)) > 0)
            return true;
    }
    return false;
}

// Draws page pageIndex into the w x h premultiplied BGRA pixels at samples, mapping page
// space by pageToPixels; box is the region shown. hasContent tells whether the page's
// content streams hold any bytes.
bool drawPage(fz_context* ctx, pdf_document* doc, int pageIndex, fz_rect box,
              fz_matrix pageToPixels, unsigned char* samples, int w, int h, int stride,
              fz_cookie* cookie, bool* hasContent) {
    const MupdfPage page(ctx, doc, pageIndex);
    if (!page.get())
        return false;
    fz_pixmap* pixmap = nullptr;
    fz_device* device = nullptr;
    bool drawn = true;
    fz_var(pixmap);
    fz_var(device);
    fz_try(ctx) {
        *hasContent = holdsContent(ctx, page.get()->obj);
        fz_rect pageBounds;
        fz_matrix pageCtm;
        pdf_page_transform(ctx, page.get(), &pageBounds, &pageCtm);
        // MuPDF clips a page that uses transparency to the page's crop box. The box shown may
        // reach beyond it (to pick a larger crop), so it then becomes the crop box of the copy
        // of the page held in memory; the file's bytes are untouched. Only then: MuPDF keeps
        // a page it changed in memory for as long as the document is open.
        if (!fz_contains_rect(pageBounds, box)) {
            pdf_dict_put_rect(ctx, page.get()->obj, PDF_NAME(CropBox), box);
            pdf_page_transform(ctx, page.get(), &pageBounds, &pageCtm);
        }

        pixmap =
            fz_new_pixmap_with_data(ctx, fz_device_bgr(ctx), w, h, nullptr, 1, stride, samples);
        fz_clear_pixmap_with_value(ctx, pixmap, 255);
        device = fz_new_draw_device(ctx, fz_identity, pixmap);
        // MuPDF puts the page's own transform (crop origin, /Rotate, /UserUnit) before the one
        // given here; undoing it leaves exactly the requested mapping.
        pdf_run_page(ctx, page.get(), device, fz_concat(fz_invert_matrix(pageCtm), pageToPixels),
                     cookie);
        fz_close_device(ctx, device);
    }
    fz_always(ctx) {
        fz_drop_device(ctx, device);
        fz_drop_pixmap(ctx, pixmap);
    }
    fz_catch(ctx) {
        drawn = false;
    }
    return drawn;
}

fz_rect toFzRect(const QRectF& r) {
    return {float(r.left()), float(r.top()), float(r.right()), float(r.bottom())};
}

// The page's media box, and the bounds of what it draws when printed within region (the media
// box when empty), both in PDF page space (points, y up): its own transform is undone, as when
// drawing.
bool measurePage(fz_context* ctx, pdf_document* doc, int pageIndex, const QRectF& region,
                 fz_rect* media, fz_rect* drawn) {
    const MupdfPage page(ctx, doc, pageIndex);
    if (!page.get())
        return false;
    fz_device* device = nullptr;
    fz_path* clip = nullptr;
    bool measured = true;
    fz_var(device);
    fz_var(clip);
    fz_try(ctx) {
        fz_rect pageBounds;
        fz_matrix pageCtm;
        pdf_page_transform(ctx, page.get(), &pageBounds, &pageCtm);
        *media =
            pdf_to_rect(ctx, pdf_dict_get_inheritable(ctx, page.get()->obj, PDF_NAME(MediaBox)));
        *drawn = fz_empty_rect;
        device = fz_new_bbox_device(ctx, drawn);
        // What the page draws is found in page space, so the region clips it there.
        if (!region.isEmpty()) {
            const fz_rect within = toFzRect(region);
            clip = fz_new_path(ctx);
            fz_rectto(ctx, clip, within.x0, within.y0, within.x1, within.y1);
            fz_clip_path(ctx, device, clip, 0, fz_identity, within);
        }
        pdf_run_page_with_usage(ctx, page.get(), device, fz_invert_matrix(pageCtm), "Print",
                                nullptr);
        if (clip)
            fz_pop_clip(ctx, device);
        fz_close_device(ctx, device);
    }
    fz_always(ctx) {
        fz_drop_path(ctx, clip);
        fz_drop_device(ctx, device);
    }
    fz_catch(ctx) {
        measured = false;
    }
    return measured;
}

// Drops the parsed objects that nothing uses now; returns whether the page tree is held, as
// it must be first: MuPDF finds page n by reading the dictionaries of the pages before it,
// which would otherwise be dropped and parsed again, with all that shares their object
// streams, for every page drawn. Held, they cost a few hundred bytes a page.
bool releaseParsedObjects(fz_context* ctx, pdf_document* doc, bool pageTreeHeld) {
    fz_var(pageTreeHeld);
    fz_try(ctx) {
        if (!pageTreeHeld) {
            pdf_load_page_tree(ctx, doc);
            pageTreeHeld = true;
        }
        pdf_clear_xref(ctx, doc);
    }
    fz_catch(ctx) {
        // Keeping the objects costs memory only.
    }
    return pageTreeHeld;
}

// The bounds of the ink of a page that is one scanned image, read from the image decoded once
// (see ScanPicture); nothing when the page is not such a scan or its image cannot be read, and
// an empty answer when the scan shows no ink.
std::optional<std::optional<QRectF>> scanInk(fz_context* ctx, pdf_document* doc, int pageIndex,
                                             const QRectF& page, const QRectF& region,
                                             const ContentBoundsOptions& options,
                                             ScanPicture* picture) {
    const auto scan = MupdfScanImage::of(ctx, doc, pageIndex, page);
    const bool read =
        scan && (scan->jpeg.isEmpty() ? picture->take(scan->greys)
                                      : picture->read(scan->jpeg, scan->colorTransform));
    if (!read || picture->pixels() != scan->pixels)
        return std::nullopt;
    const QSize pixels = picture->pixels();
    const QTransform pageToPixels = pageToImageTransform(page, 0, QSizeF(pixels));
    // The region's whole pixels, and the blocks that hold them.
    const QRect inRegion =
        pageToPixels.mapRect(region).toAlignedRect() & QRect(QPoint(0, 0), pixels);
    const QImage& blocks = picture->blockPicture();
    const QRect regionBlocks = QRect(inRegion.topLeft() / 8, (inRegion.bottomRight() / 8)) &
                               QRect(QPoint(0, 0), blocks.size());
    if (inRegion.isEmpty() || regionBlocks.isEmpty())
        return std::optional<QRectF>();
    // Spots are counted as on the small picture, whose pixels are larger than a block.
    const double blocksPerSmall = std::max(blocks.width(), blocks.height()) / kSmallPictureSide;
    const int spotBlocks =
        qMax(1, qRound(options.minimumSpotPixels * blocksPerSmall * blocksPerSmall));
    const bool whole = regionBlocks == QRect(QPoint(0, 0), blocks.size());
    const auto ink =
        InkBounds::of(whole ? blocks : blocks.copy(regionBlocks), options.inkThreshold, spotBlocks);
    if (!ink)
        return std::optional<QRectF>();
    const QRect inPixels =
        QRect((ink->topLeft() + regionBlocks.topLeft()) * 8, ink->size() * 8) & inRegion;
    const QTransform pixelsToPage = pageToPixels.inverted();
    const QRectF coarse = pixelsToPage.mapRect(QRectF(inPixels));
    // The picture's pixels may lie a fraction of a pixel off the page's when drawn: one more
    // on every side.
    return InkEdges::refine(coarse, 8 * page.height() / pixels.height(),
                            {pixelsToPage.mapRect(QRectF(inRegion)), inRegion.size()}, options, 1,
                            [&](const QRectF& box, const QSize& size) {
                                const QPointF at = pageToPixels.mapRect(box).topLeft();
                                return picture->picture(QRect(at.toPoint(), size));
                            });
}

fz_matrix toFzMatrix(const QTransform& t) {
    return {float(t.m11()), float(t.m12()), float(t.m21()),
            float(t.m22()), float(t.dx()),  float(t.dy())};
}

bool isFinite(const QRectF& r) {
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
           std::isfinite(r.height());
}

QString caughtMessage(fz_context* ctx) {
    return QString::fromUtf8(fz_caught_message(ctx));
}

// A page or document that needs more memory than this process may take is not damaged, and
// the user is told so.
QString tooLargeToDraw(int pageIndex) {
    return QStringLiteral("Page %1 is too large to draw: drawing it takes more memory than "
                          "Cropmark allows itself.")
        .arg(pageIndex + 1);
}

} // namespace

MupdfRasterizer::MupdfRasterizer(PdfRenderSource source) : source_(std::move(source)) {
    ctx_ = memory_.newContext(kStoreBytes);
    if (!ctx_) {
        openError_ = QStringLiteral("There is not enough memory to draw pages.");
        return;
    }
    fz_set_error_callback(ctx_, logMupdfMessage, nullptr);
    fz_set_warning_callback(ctx_, countMupdfWarning<Warnings>, &warnings_);
    if (!source_.data) {
        openError_ = QStringLiteral("There is no document to draw.");
        return;
    }

    document_ =
        std::make_unique<MupdfDocument>(ctx_, source_.data->bytes(), source_.password.constData());
    pageCount_ = document_->pageCount();
    rebuiltOnOpening_ = doc() && pdf_was_repaired(ctx_, doc());
    switch (document_->status()) {
    case MupdfDocument::Status::Open:
        break;
    case MupdfDocument::Status::Failed:
        openError_ =
            fz_caught(ctx_) == FZ_ERROR_MEMORY
                ? QStringLiteral("The document is too large to draw: reading it takes "
                                 "more memory than Cropmark allows itself.")
                : QStringLiteral("The document could not be read: %1").arg(caughtMessage(ctx_));
        break;
    case MupdfDocument::Status::Locked:
        openError_ = QStringLiteral("The password does not unlock this document.");
        break;
    }
}

MupdfRasterizer::~MupdfRasterizer() {
    if (ctx_) {
        if (pageTreeHeld_)
            pdf_drop_page_tree(ctx_, doc());
        // The document lives in the context, so it goes first.
        document_.reset();
        fz_drop_context(ctx_);
    }
}

pdf_document* MupdfRasterizer::doc() const {
    return document_ ? document_->get() : nullptr;
}

void MupdfRasterizer::reopenIfRebuilt() {
    if (!doc() || rebuiltOnOpening_ || !pdf_was_repaired(ctx_, doc()))
        return;
    if (pageTreeHeld_)
        pdf_drop_page_tree(ctx_, doc());
    pageTreeHeld_ = false;
    rendersSinceRelease_ = 0;
    // The same bytes open as they did the first time, with as many pages.
    document_.reset();
    document_ =
        std::make_unique<MupdfDocument>(ctx_, source_.data->bytes(), source_.password.constData());
    if (!doc())
        openError_ =
            QStringLiteral("The document could not be read again: %1").arg(caughtMessage(ctx_));
}

PageRenderResult MupdfRasterizer::render(const PageRenderRequest& request, std::stop_token stop) {
    reopenIfRebuilt();
    if (QString problem = checkRequest(request); !problem.isEmpty())
        return PageRenderResult::failure(std::move(problem));
    if (++rendersSinceRelease_ > kRendersBetweenReleases) {
        rendersSinceRelease_ = 0;
        pageTreeHeld_ = releaseParsedObjects(ctx_, doc(), pageTreeHeld_);
    }

    // MuPDF draws straight into the image's pixels. With alpha it writes premultiplied BGRA,
    // which on a white, opaque page is the byte order of Format_RGB32 on little-endian CPUs.
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN);
    QImage image(request.pixelSize, QImage::Format_RGB32);
    if (image.isNull())
        return PageRenderResult::failure(tooLargeToDraw(request.pageIndex));

    memory_.failedSinceAsked();
    fz_cookie cookie{};
    fz_flush_warnings(ctx_);
    warnings_ = {};
    const std::stop_callback abort(
        stop, [&cookie] { std::atomic_ref(cookie.abort).store(1, std::memory_order_relaxed); });
    const QTransform pageToPixels =
        pageToImageTransform(request.box, request.rotation, QSizeF(request.pixelSize));
    bool hasContent = false;
    const bool drawn = drawPage(ctx_, doc(), request.pageIndex, toFzRect(request.box.normalized()),
                                toFzMatrix(pageToPixels), image.bits(), image.width(),
                                image.height(), int(image.bytesPerLine()), &cookie, &hasContent);
    if (stop.stop_requested())
        return PageRenderResult::cancellation();
    // Drawn without what did not fit, the page would look whole but emptier.
    const bool ranOut = memory_.failedSinceAsked() && (!drawn || cookie.errors > 0);
    if (ranOut || (!drawn && fz_caught(ctx_) == FZ_ERROR_MEMORY))
        return PageRenderResult::failure(tooLargeToDraw(request.pageIndex));
    if (!drawn)
        return PageRenderResult::failure(QStringLiteral("Page %1 could not be drawn: %2")
                                             .arg(request.pageIndex + 1)
                                             .arg(caughtMessage(ctx_)));
    image.setDevicePixelRatio(request.devicePixelRatio);
    fz_flush_warnings(ctx_);
    // An empty content stream that claims to be compressed is common and harmless, though
    // MuPDF warns about it.
    if (cookie.errors > 0 || (warnings_.count > 0 && hasContent)) {
        image.setText(PageRenderResult::kPartlyReadKey,
                      warnings_.first.isEmpty() ? QStringLiteral("its description has errors")
                                                : warnings_.first);
    }
    return PageRenderResult::success(std::move(image));
}

std::optional<QRectF> MupdfRasterizer::contentBounds(int pageIndex,
                                                     const ContentBoundsOptions& options,
                                                     std::stop_token stop) {
    reopenIfRebuilt();
    if (!doc() || pageIndex < 0 || pageIndex >= pageCount_)
        return std::nullopt;
    const auto key = std::tuple(pageIndex, int(options.mode), options.inkThreshold,
                                options.minimumSpotPixels, options.within.x(), options.within.y(),
                                options.within.width(), options.within.height());
    if (const auto known = contentBounds_.find(key); known != contentBounds_.end())
        return known->second;

    std::optional<QRectF> bounds;
    fz_rect media, drawn;
    if (measurePage(ctx_, doc(), pageIndex, options.within, &media, &drawn)) {
        const QRectF page =
            QRectF(QPointF(media.x0, media.y0), QPointF(media.x1, media.y1)).normalized();
        const QRectF region = options.within.isEmpty() ? page : options.within.normalized();
        const QRectF shown =
            QRectF(QPointF(drawn.x0, drawn.y0), QPointF(drawn.x1, drawn.y1)).intersected(region);
        const bool fills =
            shown.width() * shown.height() >= 0.98 * region.width() * region.height();
        if (options.mode == ContentBoundsOptions::Mode::Drawn ||
            (options.mode == ContentBoundsOptions::Mode::Automatic && !fills)) {
            if (!fz_is_empty_rect(drawn) && !shown.isEmpty())
                bounds = shown;
        } else if (const auto read =
                       scanInk(ctx_, doc(), pageIndex, page, region, options, &scanPicture_)) {
            bounds = *read;
        } else if (!region.isEmpty()) {
            // A small picture of the whole region, its longer side 320 pixels: a scan's
            // image then decodes at an eighth of its size, which is most of the cost.
            const double scale = kSmallPictureSide / std::max(region.width(), region.height());
            const QSize size = (region.size() * scale).toSize().expandedTo(QSize(1, 1));
            const PageRenderResult picture = render({pageIndex, region, 0, size, 1.0}, stop);
            if (const auto ink =
                    InkBounds::of(picture.image, options.inkThreshold, options.minimumSpotPixels)) {
                const QRectF found =
                    pageToImageTransform(region, 0, QSizeF(size)).inverted().mapRect(QRectF(*ink));
                const QSize full = (region.size() * (kInkDpi / 72.0)).toSize();
                bounds = InkEdges::refine(found.intersected(region), region.width() / size.width(),
                                          {region, full}, options, 0,
                                          [&](const QRectF& box, const QSize& pixels) {
                                              return render({pageIndex, box, 0, pixels, 1.0}, stop)
                                                  .image.convertToFormat(QImage::Format_Grayscale8);
                                          });
            }
        }
    }
    // A picture cut short says nothing about the page, so it is not remembered.
    if (stop.stop_requested())
        return std::nullopt;
    contentBounds_[key] = bounds;
    return bounds;
}

QString MupdfRasterizer::checkRequest(const PageRenderRequest& request) const {
    if (!doc())
        return openError_;
    if (request.pageIndex < 0 || request.pageIndex >= pageCount_)
        return QStringLiteral("The document has no page %1.").arg(request.pageIndex + 1);
    const QRectF box = request.box.normalized();
    if (!isFinite(box) || box.isEmpty())
        return QStringLiteral("The region of page %1 to draw is empty.").arg(request.pageIndex + 1);
    if (request.rotation % 90 != 0)
        return QStringLiteral("Pages turn only by multiples of 90 degrees, not %1.")
            .arg(request.rotation);
    const QSize size = request.pixelSize;
    if (size.isEmpty() || size.width() > kMaxPixelSide || size.height() > kMaxPixelSide ||
        qint64(size.width()) * size.height() * 4 > kMaxPixelBytes)
        return QStringLiteral("A %1 x %2 pixel image of page %3 cannot be drawn.")
            .arg(size.width())
            .arg(size.height())
            .arg(request.pageIndex + 1);
    if (!std::isfinite(request.devicePixelRatio) || request.devicePixelRatio <= 0)
        return QStringLiteral("The device pixel ratio %1 is not positive.")
            .arg(request.devicePixelRatio);
    return {};
}
