#include "render/MupdfTextAnchoring.h"

namespace MupdfTextAnchoring {

namespace {

// Forms drawn inside forms deeper than this are taken for a loop.
constexpr int kDeepestForm = 32;

// The buffer processor's own operators; the same functions for every buffer processor.
thread_local void (*writeBT)(fz_context*, pdf_processor*) = nullptr;
thread_local void (*writeTm)(fz_context*, pdf_processor*, float, float, float, float, float,
                             float) = nullptr;

void anchoredBT(fz_context* ctx, pdf_processor* proc) {
    writeBT(ctx, proc);
    writeTm(ctx, proc, 1, 0, 0, 1, 0, 0);
}

// contents, drawn with resources, written again with every text object anchored.
fz_buffer* anchored(fz_context* ctx, pdf_document* doc, pdf_obj* contents, pdf_obj* resources) {
    fz_buffer* buffer = fz_new_buffer(ctx, 1024);
    pdf_processor* proc = nullptr;
    fz_var(proc);
    fz_try(ctx) {
        proc = pdf_new_buffer_processor(ctx, buffer, 0);
        writeBT = proc->op_BT;
        writeTm = proc->op_Tm;
        proc->op_BT = anchoredBT;
        pdf_process_contents(ctx, proc, doc, resources, contents, nullptr);
        pdf_close_processor(ctx, proc);
    }
    fz_always(ctx) {
        pdf_drop_processor(ctx, proc);
    }
    fz_catch(ctx) {
        fz_drop_buffer(ctx, buffer);
        fz_rethrow(ctx);
    }
    return buffer;
}

// Puts buffer into stream as its data, uncompressed and without filters.
void replaceData(fz_context* ctx, pdf_document* doc, pdf_obj* stream, fz_buffer* buffer) {
    fz_try(ctx) {
        pdf_update_stream(ctx, doc, stream, buffer, 0);
    }
    fz_always(ctx) {
        fz_drop_buffer(ctx, buffer);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
}

void anchorForms(fz_context* ctx, pdf_document* doc, pdf_obj* resources,
                 std::unordered_set<int>* anchoredForms, int depth) {
    pdf_obj* xobjects = pdf_dict_get(ctx, resources, PDF_NAME(XObject));
    for (int i = 0; i < pdf_dict_len(ctx, xobjects); ++i) {
        pdf_obj* form = pdf_dict_get_val(ctx, xobjects, i);
        if (!pdf_is_stream(ctx, form) ||
            !pdf_name_eq(ctx, pdf_dict_get(ctx, form, PDF_NAME(Subtype)), PDF_NAME(Form)))
            continue;
        const int number = pdf_to_num(ctx, form);
        if (anchoredForms->contains(number))
            continue;
        if (depth >= kDeepestForm)
            fz_throw(ctx, FZ_ERROR_GENERIC, "forms are drawn inside each other too deeply");
        anchoredForms->insert(number);
        pdf_obj* own = pdf_dict_get(ctx, form, PDF_NAME(Resources));
        pdf_obj* formResources = pdf_is_dict(ctx, own) ? own : resources;
        replaceData(ctx, doc, form, anchored(ctx, doc, form, formResources));
        anchorForms(ctx, doc, formResources, anchoredForms, depth + 1);
    }
}

} // namespace

void anchor(fz_context* ctx, pdf_document* doc, pdf_page* page,
            std::unordered_set<int>* anchoredForms) {
    pdf_obj* resources = pdf_page_resources(ctx, page);
    fz_buffer* contents = anchored(ctx, doc, pdf_page_contents(ctx, page), resources);
    pdf_obj* stream = pdf_add_new_dict(ctx, doc, 1);
    fz_try(ctx) {
        pdf_dict_put(ctx, page->obj, PDF_NAME(Contents), stream);
    }
    fz_catch(ctx) {
        fz_drop_buffer(ctx, contents);
        pdf_drop_obj(ctx, stream);
        fz_rethrow(ctx);
    }
    pdf_drop_obj(ctx, stream);
    replaceData(ctx, doc, pdf_dict_get(ctx, page->obj, PDF_NAME(Contents)), contents);
    anchorForms(ctx, doc, resources, anchoredForms, 0);
}

} // namespace MupdfTextAnchoring
