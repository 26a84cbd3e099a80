#include "render/OutsideContentRemoval.h"

#include "render/MupdfDocument.h"
#include "render/MupdfOutsideCulling.h"
#include "render/MupdfTextAnchoring.h"

#include <QScopeGuard>

#include <mupdf/fitz.h>
#include <mupdf/pdf.h>

#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

namespace OutsideContentRemoval {

namespace {

// Room for a page's fonts and images while it is filtered; what a page decodes is dropped
// with it.
constexpr size_t kStoreBytes = 64u << 20;

// What the pages of one document share as they are cleared.
struct Clearing {
    // The forms given absolute text starts (MupdfTextAnchoring).
    std::unordered_set<int> anchoredForms;
    MupdfImageCut::CutsMade cuts;
};

struct TextCull {
    fz_rect keep;
    int removed = 0;
};

bool whollyOutside(fz_rect bounds, fz_rect keep) {
    return bounds.x1 <= keep.x0 || bounds.x0 >= keep.x1 || bounds.y1 <= keep.y0 ||
           bounds.y0 >= keep.y1;
}

int cullGlyph(fz_context*, void* opaque, int*, int, fz_matrix trm, fz_matrix ctm, fz_rect bbox) {
    auto* cull = static_cast<TextCull*>(opaque);
    const bool removes = whollyOutside(fz_transform_rect(bbox, fz_concat(trm, ctm)), cull->keep);
    cull->removed += removes;
    return removes;
}

bool sameRect(fz_rect a, fz_rect b) {
    constexpr float kSlack = 0.001f;
    return std::abs(a.x0 - b.x0) < kSlack && std::abs(a.y0 - b.y0) < kSlack &&
           std::abs(a.x1 - b.x1) < kSlack && std::abs(a.y1 - b.y1) < kSlack;
}

// The decoded length of a page's content streams.
int64_t contentLength(fz_context* ctx, pdf_obj* contents) {
    if (pdf_is_array(ctx, contents)) {
        int64_t length = 0;
        for (int i = 0; i < pdf_array_len(ctx, contents); ++i)
            length += contentLength(ctx, pdf_array_get(ctx, contents, i));
        return length;
    }
    if (!pdf_is_stream(ctx, contents))
        return 0;
    fz_buffer* buffer = pdf_load_stream(ctx, contents);
    const int64_t length = int64_t(buffer->len);
    fz_drop_buffer(ctx, buffer);
    return length;
}

// Takes annotation out of the form's fields too, where it is a field of its own, so that no
// value of a field outside the crop stays in the file.
void dropField(fz_context* ctx, pdf_document* doc, pdf_obj* annotation) {
    pdf_obj* fields = pdf_dict_getp(ctx, pdf_trailer(ctx, doc), "Root/AcroForm/Fields");
    if (const int index = pdf_array_find(ctx, fields, annotation); index >= 0)
        pdf_array_delete(ctx, fields, index);
}

// Drops the annotations wholly outside keep from page.
int dropAnnotations(fz_context* ctx, pdf_document* doc, pdf_obj* page, fz_rect keep) {
    pdf_obj* annotations = pdf_dict_get(ctx, page, PDF_NAME(Annots));
    int dropped = 0;
    for (int i = pdf_array_len(ctx, annotations) - 1; i >= 0; --i) {
        pdf_obj* annotation = pdf_array_get(ctx, annotations, i);
        const fz_rect rect = pdf_dict_get_rect(ctx, annotation, PDF_NAME(Rect));
        if (!whollyOutside(rect, keep))
            continue;
        if (pdf_name_eq(ctx, pdf_dict_get(ctx, annotation, PDF_NAME(Subtype)), PDF_NAME(Widget)))
            dropField(ctx, doc, annotation);
        pdf_array_delete(ctx, annotations, i);
        ++dropped;
    }
    return dropped;
}

// Gives page the box keep for its media and crop boxes, and its other boxes cut to it.
void setBoxes(fz_context* ctx, pdf_obj* page, fz_rect keep) {
    pdf_dict_put_rect(ctx, page, PDF_NAME(MediaBox), keep);
    pdf_dict_put_rect(ctx, page, PDF_NAME(CropBox), keep);
    for (pdf_obj* name : {PDF_NAME(BleedBox), PDF_NAME(TrimBox), PDF_NAME(ArtBox)}) {
        if (pdf_obj* box = pdf_dict_get(ctx, page, name)) {
            const fz_rect cut = fz_intersect_rect(pdf_to_rect(ctx, box), keep);
            pdf_dict_put_rect(ctx, page, name, fz_is_empty_rect(cut) ? keep : cut);
        }
    }
}

// The page's contents drawn in keep only, under a clip to it so that what crosses the edge
// stops there whatever box a reader draws.
void cullContents(fz_context* ctx, pdf_document* doc, pdf_page* page, fz_rect keep,
                  MupdfImageCut::CutsMade* cuts, RemovedOutside* removed) {
    pdf_obj* contents = pdf_page_contents(ctx, page);
    MupdfOutsideCulling::Culled culled;
    fz_buffer* kept = MupdfOutsideCulling::cull(ctx, doc, contents, pdf_page_resources(ctx, page),
                                                fz_identity, keep, cuts, &culled);
    fz_buffer* clipped = nullptr;
    fz_var(clipped);
    fz_try(ctx) {
        clipped = fz_new_buffer(ctx, kept->len + 64);
        fz_append_printf(ctx, clipped, "q %g %g %g %g re W n\n", keep.x0, keep.y0,
                         keep.x1 - keep.x0, keep.y1 - keep.y0);
        fz_append_buffer(ctx, clipped, kept);
        fz_append_string(ctx, clipped, "\nQ\n");
        // Uncompressed, without its filters; the file's writer compresses it.
        pdf_update_stream(ctx, doc, contents, clipped, 0);
        removed->images += culled.images;
        removed->paths += culled.paths;
        removed->bytes += culled.bytes - int64_t(clipped->len);
    }
    fz_always(ctx) {
        fz_drop_buffer(ctx, kept);
        fz_drop_buffer(ctx, clipped);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
}

// Clears page index of what lies outside its crop box. Plain pointers and numbers only in
// this frame, for longjmp to skip. False, with MuPDF's error in ctx, when it cannot.
bool clearPage(fz_context* ctx, pdf_document* doc, int index, bool cropped, Clearing* clearing,
               RemovedOutside* removed) {
    pdf_page* page = nullptr;
    bool cleared = true;
    fz_var(page);
    fz_try(ctx) {
        page = pdf_load_page(ctx, doc, index);
        pdf_obj* object = page->obj;
        fz_rect media = pdf_to_rect(ctx, pdf_dict_get_inheritable(ctx, object, PDF_NAME(MediaBox)));
        if (fz_is_empty_rect(media))
            media = fz_make_rect(0, 0, 612, 792);
        fz_rect keep = media;
        if (pdf_obj* crop = pdf_dict_get_inheritable(ctx, object, PDF_NAME(CropBox)))
            keep = fz_intersect_rect(pdf_to_rect(ctx, crop), media);
        if (fz_is_empty_rect(keep))
            fz_throw(ctx, FZ_ERROR_GENERIC, "its crop box shows nothing");
        if (cropped || !sameRect(keep, media)) {
            removed->bytes = contentLength(ctx, pdf_page_contents(ctx, page));
            MupdfTextAnchoring::anchor(ctx, doc, page, &clearing->anchoredForms);
            TextCull text{keep};
            pdf_filter_options options{};
            options.opaque = &text;
            options.text_filter = cullGlyph;
            options.sanitize = 1;
            options.recurse = 1;
            options.instance_forms = 1;
            pdf_filter_page_contents(ctx, doc, page, &options);
            removed->glyphs = text.removed;
            cullContents(ctx, doc, page, keep, &clearing->cuts, removed);
            removed->annotations = dropAnnotations(ctx, doc, object, keep);
            setBoxes(ctx, object, keep);
        }
    }
    fz_always(ctx) {
        fz_drop_page(ctx, reinterpret_cast<fz_page*>(page));
    }
    fz_catch(ctx) {
        cleared = false;
    }
    return cleared;
}

QString failure(fz_context* ctx, const QString& what) {
    return what + QStringLiteral(" (%1)").arg(QString::fromUtf8(fz_caught_message(ctx)));
}

void quiet(void*, const char*) {}

Outcome removeIn(fz_context* ctx, QByteArrayView bytes, const QByteArray& password,
                 const std::vector<bool>& cropped, const std::function<void()>& pageDone) {
    Outcome outcome;
    const MupdfDocument document(ctx, bytes, password.constData());
    if (document.status() != MupdfDocument::Status::Open) {
        outcome.error = failure(
            ctx, QStringLiteral("The file could not be read to remove what lies outside the crop"));
        return outcome;
    }
    Clearing clearing;
    // Before the document goes, with the objects the cuts refer to.
    const auto dropCuts = qScopeGuard([&] { MupdfImageCut::drop(ctx, &clearing.cuts); });
    for (int index = 0; index < document.pageCount(); ++index) {
        RemovedOutside removed;
        removed.page = index;
        const bool wasCropped = size_t(index) < cropped.size() && cropped[size_t(index)];
        if (!clearPage(ctx, document.get(), index, wasCropped, &clearing, &removed)) {
            outcome.error = failure(
                ctx, QStringLiteral("What lies outside the crop of page %1 could not be removed")
                         .arg(index + 1));
            return outcome;
        }
        // A cut fax image and the clip may take more than what they replace.
        removed.bytes = std::max<qint64>(removed.bytes, 0);
        if (removed.glyphs > 0 || removed.images > 0 || removed.paths > 0 ||
            removed.annotations > 0 || removed.bytes > 0)
            outcome.removed.push_back(removed);
        pageDone();
    }
    // What no page uses any more is left out; the filtered contents are compressed.
    outcome.file = document.written(true);
    if (!outcome.file)
        outcome.error = failure(ctx, QStringLiteral("The file could not be written"));
    return outcome;
}

} // namespace

Outcome remove(QByteArrayView bytes, const QByteArray& password, const std::vector<bool>& cropped,
               const std::function<void()>& pageDone) {
    fz_context* ctx = fz_new_context(nullptr, nullptr, kStoreBytes);
    if (!ctx) {
        Outcome outcome;
        outcome.error = QStringLiteral("There is not enough memory to remove what lies outside "
                                       "the crop.");
        return outcome;
    }
    fz_set_error_callback(ctx, quiet, nullptr);
    fz_set_warning_callback(ctx, quiet, nullptr);
    Outcome outcome = removeIn(ctx, bytes, password, cropped, pageDone);
    fz_drop_context(ctx);
    return outcome;
}

} // namespace OutsideContentRemoval
