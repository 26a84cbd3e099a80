#include "render/MupdfOutsideCulling.h"

#include "render/MupdfImageCut.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace MupdfOutsideCulling {

namespace {

// Forms drawn inside forms deeper than this are taken for a loop.
constexpr int kDeepestForm = 32;

// One operator of a path being built, held until the operator that paints it says whether it
// shows.
struct PathPiece {
    enum class Kind { Move, Line, Curve, CurveV, CurveY, Close, Rectangle } kind;
    float values[6];
};

struct GraphicsState {
    fz_matrix ctm;
    float lineWidth;
};

// The state of one content stream's culling, for the operators of its processor.
struct Culler {
    fz_context* ctx;
    pdf_document* doc;
    pdf_obj* resources;
    fz_rect keep;
    MupdfImageCut::CutsMade* cuts;
    Culled* culled;
    int depth;
    // The buffer processor's own operators, which write what is kept.
    pdf_processor write;
    GraphicsState state;
    std::vector<GraphicsState> saved;
    std::vector<PathPiece> path;
    fz_rect pathBounds = fz_empty_rect;
    // The clip operator the path is given before it is painted, if any.
    void (*clip)(fz_context*, pdf_processor*) = nullptr;
    // Resource names drawn as they were, and those drawn in a copy or cut instead.
    std::vector<std::string> drawnAsIs;
    std::vector<std::string> replaced;
};

// The cullers of the content streams being culled on this thread, innermost last: a form is
// culled while the stream that draws it is.
thread_local std::vector<std::pair<pdf_processor*, Culler*>> cullers;
thread_local int cullingDepth = 0;

Culler& of(pdf_processor* proc) {
    for (auto it = cullers.rbegin(); it != cullers.rend(); ++it) {
        if (it->first == proc)
            return *it->second;
    }
    // Only the processors cull() patches call here.
    std::abort();
}

// Whether what draws within bounds shows nothing in keep, touching its edge at most.
bool outside(const Culler& c, fz_rect bounds) {
    if (fz_is_infinite_rect(bounds) || fz_is_empty_rect(bounds))
        return false;
    return bounds.x1 <= c.keep.x0 || bounds.x0 >= c.keep.x1 || bounds.y1 <= c.keep.y0 ||
           bounds.y0 >= c.keep.y1;
}

bool inside(const Culler& c, fz_rect bounds) {
    return bounds.x0 >= c.keep.x0 && bounds.x1 <= c.keep.x1 && bounds.y0 >= c.keep.y0 &&
           bounds.y1 <= c.keep.y1;
}

void note(std::vector<std::string>& names, const char* name) {
    if (std::find(names.begin(), names.end(), name) == names.end())
        names.emplace_back(name);
}

void q(fz_context* ctx, pdf_processor* proc) {
    Culler& c = of(proc);
    c.saved.push_back(c.state);
    c.write.op_q(ctx, proc);
}

void Q(fz_context* ctx, pdf_processor* proc) {
    Culler& c = of(proc);
    if (!c.saved.empty()) {
        c.state = c.saved.back();
        c.saved.pop_back();
    }
    c.write.op_Q(ctx, proc);
}

void cm(fz_context* ctx, pdf_processor* proc, float a, float b, float c, float d, float e,
        float f) {
    Culler& culler = of(proc);
    culler.state.ctm = fz_concat(fz_make_matrix(a, b, c, d, e, f), culler.state.ctm);
    culler.write.op_cm(ctx, proc, a, b, c, d, e, f);
}

void w(fz_context* ctx, pdf_processor* proc, float width) {
    Culler& c = of(proc);
    c.state.lineWidth = width;
    c.write.op_w(ctx, proc, width);
}

void hold(pdf_processor* proc, PathPiece::Kind kind, std::initializer_list<float> values) {
    Culler& c = of(proc);
    PathPiece piece{kind, {}};
    std::copy(values.begin(), values.end(), piece.values);
    c.path.push_back(piece);
    // A curve lies within its control points.
    for (auto it = values.begin(); it != values.end(); it += 2)
        c.pathBounds = fz_include_point_in_rect(c.pathBounds, fz_make_point(it[0], it[1]));
}

void m(fz_context*, pdf_processor* proc, float x, float y) {
    hold(proc, PathPiece::Kind::Move, {x, y});
}
void l(fz_context*, pdf_processor* proc, float x, float y) {
    hold(proc, PathPiece::Kind::Line, {x, y});
}
void c(fz_context*, pdf_processor* proc, float x1, float y1, float x2, float y2, float x3,
       float y3) {
    hold(proc, PathPiece::Kind::Curve, {x1, y1, x2, y2, x3, y3});
}
void v(fz_context*, pdf_processor* proc, float x2, float y2, float x3, float y3) {
    hold(proc, PathPiece::Kind::CurveV, {x2, y2, x3, y3});
}
void y(fz_context*, pdf_processor* proc, float x1, float y1, float x3, float y3) {
    hold(proc, PathPiece::Kind::CurveY, {x1, y1, x3, y3});
}
void h(fz_context*, pdf_processor* proc) {
    hold(proc, PathPiece::Kind::Close, {});
}
void re(fz_context*, pdf_processor* proc, float x, float y, float width, float height) {
    Culler& culler = of(proc);
    culler.path.push_back({PathPiece::Kind::Rectangle, {x, y, width, height, 0, 0}});
    culler.pathBounds = fz_include_point_in_rect(culler.pathBounds, fz_make_point(x, y));
    culler.pathBounds =
        fz_include_point_in_rect(culler.pathBounds, fz_make_point(x + width, y + height));
}

void W(fz_context*, pdf_processor* proc) {
    Culler& culler = of(proc);
    culler.clip = culler.write.op_W;
}
void Wstar(fz_context*, pdf_processor* proc) {
    Culler& culler = of(proc);
    culler.clip = culler.write.op_Wstar;
}

// Writes the path held, its clip and paint, unless it paints wholly outside and clips
// nothing.
void paint(fz_context* ctx, pdf_processor* proc,
           void (*pdf_processor::*op)(fz_context*, pdf_processor*), bool strokes) {
    Culler& culler = of(proc);
    fz_rect bounds = fz_transform_rect(culler.pathBounds, culler.state.ctm);
    if (strokes) {
        // Wide enough for any miter the default limit allows.
        const float reach =
            std::max(culler.state.lineWidth, 1.0f) * fz_matrix_expansion(culler.state.ctm) * 5 + 1;
        bounds = fz_expand_rect(bounds, reach);
    }
    const bool drops = !culler.clip && op != &pdf_processor::op_n && !culler.path.empty() &&
                       outside(culler, bounds);
    if (drops) {
        ++culler.culled->paths;
    } else {
        for (const PathPiece& piece : culler.path) {
            const float* p = piece.values;
            switch (piece.kind) {
            case PathPiece::Kind::Move:
                culler.write.op_m(ctx, proc, p[0], p[1]);
                break;
            case PathPiece::Kind::Line:
                culler.write.op_l(ctx, proc, p[0], p[1]);
                break;
            case PathPiece::Kind::Curve:
                culler.write.op_c(ctx, proc, p[0], p[1], p[2], p[3], p[4], p[5]);
                break;
            case PathPiece::Kind::CurveV:
                culler.write.op_v(ctx, proc, p[0], p[1], p[2], p[3]);
                break;
            case PathPiece::Kind::CurveY:
                culler.write.op_y(ctx, proc, p[0], p[1], p[2], p[3]);
                break;
            case PathPiece::Kind::Close:
                culler.write.op_h(ctx, proc);
                break;
            case PathPiece::Kind::Rectangle:
                culler.write.op_re(ctx, proc, p[0], p[1], p[2], p[3]);
                break;
            }
        }
        if (culler.clip)
            culler.clip(ctx, proc);
        (culler.write.*op)(ctx, proc);
    }
    culler.path.clear();
    culler.pathBounds = fz_empty_rect;
    culler.clip = nullptr;
}

// A painting operator: paint() with op, which strokes or not.
template <void (*pdf_processor::*op)(fz_context*, pdf_processor*), bool strokes>
void painted(fz_context* ctx, pdf_processor* proc) {
    paint(ctx, proc, op, strokes);
}

void sh(fz_context* ctx, pdf_processor* proc, const char* name, fz_shade* shade) {
    Culler& culler = of(proc);
    if (outside(culler, fz_bound_shade(ctx, shade, culler.state.ctm))) {
        ++culler.culled->paths;
        note(culler.replaced, name);
        return;
    }
    note(culler.drawnAsIs, name);
    culler.write.op_sh(ctx, proc, name, shade);
}

// A resource name that resources' dictionary kind does not hold yet.
std::string freshName(fz_context* ctx, pdf_obj* dictionary, const char* stem) {
    for (int i = 1;; ++i) {
        std::string name = stem + std::to_string(i);
        if (!pdf_dict_gets(ctx, dictionary, name.c_str()))
            return name;
    }
}

pdf_obj* xobjects(fz_context* ctx, pdf_obj* resources) {
    pdf_obj* dictionary = pdf_dict_get(ctx, resources, PDF_NAME(XObject));
    if (!pdf_is_dict(ctx, dictionary))
        dictionary = pdf_dict_put_dict(ctx, resources, PDF_NAME(XObject), 4);
    return dictionary;
}

// The pixels of image, w by h, that show inside keep when it is drawn at ctm, rows from the
// top, widened to whole pixels.
fz_irect visiblePixels(fz_matrix ctm, fz_rect keep, int width, int height) {
    const fz_rect visible = fz_intersect_rect(fz_transform_rect(fz_unit_rect, ctm), keep);
    const fz_rect unit = fz_transform_rect(visible, fz_invert_matrix(ctm));
    const auto at = [](float fraction, int size, bool up) {
        const float scaled = std::clamp(fraction, 0.0f, 1.0f) * float(size);
        return std::clamp(int(up ? std::ceil(scaled - 0.01f) : std::floor(scaled + 0.01f)), 0,
                          size);
    };
    return fz_make_irect(at(unit.x0, width, false), at(1 - unit.y1, height, false),
                         at(unit.x1, width, true), at(1 - unit.y0, height, true));
}

void doImage(fz_context* ctx, pdf_processor* proc, const char* name, fz_image* image) {
    Culler& culler = of(proc);
    const fz_rect bounds = fz_transform_rect(fz_unit_rect, culler.state.ctm);
    pdf_obj* dictionary = xobjects(ctx, culler.resources);
    pdf_obj* object = pdf_dict_gets(ctx, dictionary, name);
    if (outside(culler, bounds)) {
        ++culler.culled->images;
        if (pdf_is_stream(ctx, object))
            culler.culled->bytes += pdf_dict_get_int(ctx, object, PDF_NAME(Length));
        note(culler.replaced, name);
        return;
    }
    const fz_irect pixels = visiblePixels(culler.state.ctm, culler.keep, image->w, image->h);
    const bool whole =
        pixels.x0 == 0 && pixels.y0 == 0 && pixels.x1 == image->w && pixels.y1 == image->h;
    const MupdfImageCut::Cut cut =
        inside(culler, bounds) || whole || !pdf_is_stream(ctx, object) || fz_is_empty_irect(pixels)
            ? MupdfImageCut::Cut{}
            : MupdfImageCut::cutOnce(ctx, culler.doc, object, pixels, culler.cuts);
    if (!cut.image) {
        note(culler.drawnAsIs, name);
        culler.write.op_Do_image(ctx, proc, name, image);
        return;
    }
    const std::string cutName = freshName(ctx, dictionary, "Cut");
    pdf_dict_puts(ctx, dictionary, cutName.c_str(), cut.image);
    note(culler.replaced, name);
    ++culler.culled->images;
    culler.culled->bytes += cut.saved;
    // The cut's unit square on the part of the image's that it holds.
    const float width = float(image->w);
    const float height = float(image->h);
    culler.write.op_q(ctx, proc);
    culler.write.op_cm(ctx, proc, float(cut.pixels.x1 - cut.pixels.x0) / width, 0, 0,
                       float(cut.pixels.y1 - cut.pixels.y0) / height, float(cut.pixels.x0) / width,
                       1 - float(cut.pixels.y1) / height);
    culler.write.op_Do_image(ctx, proc, cutName.c_str(), image);
    culler.write.op_Q(ctx, proc);
}

void BI(fz_context* ctx, pdf_processor* proc, fz_image* image, const char* colorspace) {
    Culler& culler = of(proc);
    if (outside(culler, fz_transform_rect(fz_unit_rect, culler.state.ctm))) {
        ++culler.culled->images;
        return;
    }
    culler.write.op_BI(ctx, proc, image, colorspace);
}

void doForm(fz_context* ctx, pdf_processor* proc, const char* name, pdf_obj* form,
            pdf_obj* pageResources) {
    Culler& culler = of(proc);
    const fz_matrix ctm =
        fz_concat(pdf_dict_get_matrix(ctx, form, PDF_NAME(Matrix)), culler.state.ctm);
    pdf_obj* box = pdf_dict_get(ctx, form, PDF_NAME(BBox));
    if (pdf_is_array(ctx, box) && outside(culler, fz_transform_rect(pdf_to_rect(ctx, box), ctm))) {
        ++culler.culled->paths;
        note(culler.replaced, name);
        return;
    }
    if (culler.depth >= kDeepestForm)
        fz_throw(ctx, FZ_ERROR_GENERIC, "forms are drawn inside each other too deeply");
    // A copy for this place, with resources of its own to take the cut images.
    pdf_obj* copy = pdf_add_object_drop(ctx, culler.doc, pdf_copy_dict(ctx, form));
    fz_buffer* culledForm = nullptr;
    fz_var(culledForm);
    fz_try(ctx) {
        pdf_obj* resources = pdf_dict_get(ctx, form, PDF_NAME(Resources));
        if (pdf_is_dict(ctx, resources)) {
            pdf_dict_put_drop(ctx, copy, PDF_NAME(Resources), pdf_copy_dict(ctx, resources));
            resources = pdf_dict_get(ctx, copy, PDF_NAME(Resources));
            if (pdf_obj* forms = pdf_dict_get(ctx, resources, PDF_NAME(XObject)))
                pdf_dict_put_drop(ctx, resources, PDF_NAME(XObject), pdf_copy_dict(ctx, forms));
        } else {
            resources = culler.resources;
        }
        Culled inForm;
        culledForm = cull(ctx, culler.doc, form, resources, ctm, culler.keep, culler.cuts, &inForm);
        culler.culled->images += inForm.images;
        culler.culled->paths += inForm.paths;
        culler.culled->bytes += inForm.bytes;
        pdf_update_stream(ctx, culler.doc, copy, culledForm, 0);
        pdf_obj* dictionary = xobjects(ctx, culler.resources);
        const std::string copyName = freshName(ctx, dictionary, "Form");
        pdf_dict_puts(ctx, dictionary, copyName.c_str(), copy);
        note(culler.replaced, name);
        culler.write.op_Do_form(ctx, proc, copyName.c_str(), copy, pageResources);
    }
    fz_always(ctx) {
        fz_drop_buffer(ctx, culledForm);
        pdf_drop_obj(ctx, copy);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
}

// Routes the operators culling looks at through culler.
void patch(pdf_processor* proc) {
    proc->op_q = q;
    proc->op_Q = Q;
    proc->op_cm = cm;
    proc->op_w = w;
    proc->op_m = m;
    proc->op_l = l;
    proc->op_c = c;
    proc->op_v = v;
    proc->op_y = y;
    proc->op_h = h;
    proc->op_re = re;
    proc->op_W = W;
    proc->op_Wstar = Wstar;
    proc->op_S = painted<&pdf_processor::op_S, true>;
    proc->op_s = painted<&pdf_processor::op_s, true>;
    proc->op_F = painted<&pdf_processor::op_F, false>;
    proc->op_f = painted<&pdf_processor::op_f, false>;
    proc->op_fstar = painted<&pdf_processor::op_fstar, false>;
    proc->op_B = painted<&pdf_processor::op_B, true>;
    proc->op_Bstar = painted<&pdf_processor::op_Bstar, true>;
    proc->op_b = painted<&pdf_processor::op_b, true>;
    proc->op_bstar = painted<&pdf_processor::op_bstar, true>;
    proc->op_n = painted<&pdf_processor::op_n, false>;
    proc->op_sh = sh;
    proc->op_Do_image = doImage;
    proc->op_BI = BI;
    proc->op_Do_form = doForm;
}

// Takes out of resources the names of what is now drawn from a copy or cut, or not at all.
void dropReplaced(fz_context* ctx, pdf_obj* resources, const Culler& culler) {
    for (const std::string& name : culler.replaced) {
        if (std::find(culler.drawnAsIs.begin(), culler.drawnAsIs.end(), name) !=
            culler.drawnAsIs.end())
            continue;
        for (pdf_obj* kind : {PDF_NAME(XObject), PDF_NAME(Shading)}) {
            if (pdf_obj* dictionary = pdf_dict_get(ctx, resources, kind))
                pdf_dict_dels(ctx, dictionary, name.c_str());
        }
    }
}

} // namespace

fz_buffer* cull(fz_context* ctx, pdf_document* doc, pdf_obj* contents, pdf_obj* resources,
                fz_matrix ctm, fz_rect keep, MupdfImageCut::CutsMade* cuts, Culled* culled) {
    fz_buffer* buffer = fz_new_buffer(ctx, 1024);
    pdf_processor* proc = nullptr;
    // On the heap: an error longjmps past this frame.
    auto* culler =
        new Culler{ctx, doc, resources,     keep,    cuts, culled, cullingDepth, {}, {ctm, 1},
                   {},  {},  fz_empty_rect, nullptr, {},   {}};
    bool pushed = false;
    fz_var(proc);
    fz_var(pushed);
    fz_try(ctx) {
        proc = pdf_new_buffer_processor(ctx, buffer, 0);
        culler->write = *proc;
        patch(proc);
        cullers.emplace_back(proc, culler);
        pushed = true;
        ++cullingDepth;
        pdf_process_contents(ctx, proc, doc, resources, contents, nullptr);
        pdf_close_processor(ctx, proc);
        dropReplaced(ctx, resources, *culler);
    }
    fz_always(ctx) {
        if (pushed) {
            cullers.pop_back();
            --cullingDepth;
        }
        pdf_drop_processor(ctx, proc);
        delete culler;
    }
    fz_catch(ctx) {
        fz_drop_buffer(ctx, buffer);
        fz_rethrow(ctx);
    }
    return buffer;
}

} // namespace MupdfOutsideCulling
