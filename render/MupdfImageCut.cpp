#include "render/MupdfImageCut.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace MupdfImageCut {

namespace {

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void failJpeg(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->jump, 1);
}

void quietJpeg(j_common_ptr) {}

// Whether filter is among image's filters.
bool anyFilter(fz_context* ctx, pdf_obj* image, pdf_obj* filter) {
    pdf_obj* given = pdf_dict_get(ctx, image, PDF_NAME(Filter));
    if (!pdf_is_array(ctx, given))
        return pdf_name_eq(ctx, given, filter);
    for (int i = 0; i < pdf_array_len(ctx, given); ++i) {
        if (pdf_name_eq(ctx, pdf_array_get(ctx, given, i), filter))
            return true;
    }
    return false;
}

// Whether image's only filter is filter.
bool onlyFilter(fz_context* ctx, pdf_obj* image, pdf_obj* filter) {
    pdf_obj* given = pdf_dict_get(ctx, image, PDF_NAME(Filter));
    return (!pdf_is_array(ctx, given) || pdf_array_len(ctx, given) == 1) &&
           anyFilter(ctx, image, filter);
}

// The JPEG in data cut to pixels, widened left and up to the block boundary, which pixels is
// set to; written with malloc() into out. False when libjpeg cannot read or write it. No C++
// object lives here: libjpeg reports errors with longjmp.
bool cutJpegBytes(const unsigned char* data, size_t size, fz_irect* pixels, unsigned char** out,
                  unsigned long* outSize) {
    jpeg_decompress_struct source;
    jpeg_compress_struct cut;
    JpegFailure failure;
    std::memset(&source, 0, sizeof source);
    std::memset(&cut, 0, sizeof cut);
    source.err = cut.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = failJpeg;
    failure.manager.output_message = quietJpeg;
    JSAMPLE* volatile row = nullptr;
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&source);
        jpeg_destroy_compress(&cut);
        std::free(row);
        return false;
    }
    jpeg_create_decompress(&source);
    jpeg_create_compress(&cut);
    jpeg_mem_src(&source, data, size);
    jpeg_read_header(&source, TRUE);
    // The samples as the JPEG holds them, so that encoding them again converts no colours.
    source.out_color_space = source.jpeg_color_space;
    jpeg_start_decompress(&source);
    const int blockHeight = source.max_v_samp_factor * DCTSIZE;
    const JDIMENSION top = JDIMENSION(pixels->y0 / blockHeight * blockHeight);
    const JDIMENSION bottom = std::min(JDIMENSION(pixels->y1), source.output_height);
    JDIMENSION left = JDIMENSION(pixels->x0);
    JDIMENSION width = JDIMENSION(pixels->x1 - pixels->x0);
    // Moves left back to the block boundary, and widens width as much.
    jpeg_crop_scanline(&source, &left, &width);
    if (top > 0)
        jpeg_skip_scanlines(&source, top);
    jpeg_mem_dest(&cut, out, outSize);
    jpeg_copy_critical_parameters(&source, &cut);
    cut.image_width = width;
    cut.image_height = bottom - top;
    // Tables made for this image's own statistics, as encoders that know the whole image use.
    cut.optimize_coding = TRUE;
    jpeg_start_compress(&cut, TRUE);
    row = static_cast<JSAMPLE*>(std::malloc(size_t(width) * size_t(source.output_components)));
    if (!row)
        failJpeg(reinterpret_cast<j_common_ptr>(&source));
    for (JDIMENSION y = top; y < bottom; ++y) {
        JSAMPROW rows[] = {row};
        jpeg_read_scanlines(&source, rows, 1);
        jpeg_write_scanlines(&cut, rows, 1);
    }
    jpeg_finish_compress(&cut);
    jpeg_abort_decompress(&source);
    jpeg_destroy_decompress(&source);
    jpeg_destroy_compress(&cut);
    std::free(row);
    *pixels = fz_make_irect(int(left), int(top), int(left + width), int(bottom));
    return true;
}

// The JPEG image's stream cut to pixels, which is widened to the block boundary.
fz_buffer* cutJpeg(fz_context* ctx, pdf_obj* image, fz_irect* pixels) {
    fz_buffer* jpeg = pdf_load_raw_stream(ctx, image);
    unsigned char* data = nullptr;
    const size_t size = fz_buffer_storage(ctx, jpeg, &data);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const bool cut = cutJpegBytes(data, size, pixels, &out, &outSize);
    fz_drop_buffer(ctx, jpeg);
    if (!cut) {
        std::free(out);
        fz_throw(ctx, FZ_ERROR_GENERIC, "a JPEG image could not be cut");
    }
    fz_buffer* result = nullptr;
    fz_try(ctx) {
        result = fz_new_buffer_from_copied_data(ctx, out, outSize);
    }
    fz_always(ctx) {
        std::free(out);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
    return result;
}

// Copies count bits from bit offset from of source to the start of target.
void copyBits(const unsigned char* source, size_t from, size_t count, unsigned char* target) {
    if (from % 8 == 0) {
        std::memcpy(target, source + from / 8, (count + 7) / 8);
        return;
    }
    std::memset(target, 0, (count + 7) / 8);
    for (size_t i = 0; i < count; ++i) {
        const size_t bit = from + i;
        if (source[bit / 8] & (0x80 >> (bit % 8)))
            target[i / 8] |= static_cast<unsigned char>(0x80 >> (i % 8));
    }
}

// The decoded samples of image, of components components of bpc bits, cut to pixels.
fz_buffer* cutSamples(fz_context* ctx, pdf_obj* image, int components, int bpc, fz_irect pixels) {
    const int width = pdf_dict_get_int(ctx, image, PDF_NAME(Width));
    const int height = pdf_dict_get_int(ctx, image, PDF_NAME(Height));
    const size_t bitsPerPixel = size_t(components) * size_t(bpc);
    const size_t stride = (size_t(width) * bitsPerPixel + 7) / 8;
    fz_buffer* samples = pdf_load_stream(ctx, image);
    unsigned char* data = nullptr;
    if (fz_buffer_storage(ctx, samples, &data) < stride * size_t(height)) {
        fz_drop_buffer(ctx, samples);
        fz_throw(ctx, FZ_ERROR_GENERIC, "an image holds fewer samples than its size");
    }
    const size_t cutWidth = size_t(pixels.x1 - pixels.x0);
    const size_t cutStride = (cutWidth * bitsPerPixel + 7) / 8;
    fz_buffer* cut = nullptr;
    fz_try(ctx) {
        cut = fz_new_buffer(ctx, cutStride * size_t(pixels.y1 - pixels.y0) + 1);
        for (int y = pixels.y0; y < pixels.y1; ++y) {
            unsigned char* target = cut->data + cut->len;
            copyBits(data + size_t(y) * stride, size_t(pixels.x0) * bitsPerPixel,
                     cutWidth * bitsPerPixel, target);
            cut->len += cutStride;
        }
    }
    fz_always(ctx) {
        fz_drop_buffer(ctx, samples);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
    return cut;
}

// The samples of image within pixels, encoded as a Group 4 fax or deflated.
fz_buffer* encodedSamples(fz_context* ctx, pdf_obj* image, int components, int bpc, fz_irect pixels,
                          bool fax) {
    fz_buffer* samples = cutSamples(ctx, image, components, bpc, pixels);
    fz_buffer* encoded = nullptr;
    fz_var(encoded);
    fz_try(ctx) {
        if (fax) {
            encoded = fz_compress_ccitt_fax_g4(ctx, samples->data, pixels.x1 - pixels.x0,
                                               pixels.y1 - pixels.y0);
        } else {
            size_t length = 0;
            unsigned char* deflated =
                fz_new_deflated_data_from_buffer(ctx, &length, samples, FZ_DEFLATE_DEFAULT);
            encoded = fz_new_buffer_from_data(ctx, deflated, length);
        }
    }
    fz_always(ctx) {
        fz_drop_buffer(ctx, samples);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
    return encoded;
}

// How many colour components each pixel of image has.
int componentsOf(fz_context* ctx, pdf_obj* image) {
    if (pdf_dict_get_bool(ctx, image, PDF_NAME(ImageMask)))
        return 1;
    pdf_obj* space = pdf_dict_get(ctx, image, PDF_NAME(ColorSpace));
    if (!space)
        fz_throw(ctx, FZ_ERROR_GENERIC, "an image has no colour space");
    fz_colorspace* colorspace = pdf_load_colorspace(ctx, space);
    const int components = fz_colorspace_n(ctx, colorspace);
    fz_drop_colorspace(ctx, colorspace);
    return components;
}

// The part of a mask of maskWidth by maskHeight pixels that covers pixels of an image of
// width by height: the same pixels when the sizes agree, as most do.
fz_irect scaledPixels(fz_irect pixels, int width, int height, int maskWidth, int maskHeight) {
    if (maskWidth == width && maskHeight == height)
        return pixels;
    const auto scale = [](int value, int from, int to, bool up) {
        const double scaled = double(value) * to / from;
        return std::clamp(int(up ? std::ceil(scaled) : std::floor(scaled)), 0, to);
    };
    return fz_make_irect(
        scale(pixels.x0, width, maskWidth, false), scale(pixels.y0, height, maskHeight, false),
        scale(pixels.x1, width, maskWidth, true), scale(pixels.y1, height, maskHeight, true));
}

// Puts the mask under key of image, cut to the part that covers pixels, into cut's
// dictionary.
void cutMask(fz_context* ctx, pdf_document* doc, pdf_obj* image, pdf_obj* key, fz_irect pixels,
             pdf_obj* dictionary, int64_t* saved) {
    pdf_obj* mask = pdf_dict_get(ctx, image, key);
    if (!pdf_is_stream(ctx, mask))
        return;
    const fz_irect maskPixels = scaledPixels(pixels, pdf_dict_get_int(ctx, image, PDF_NAME(Width)),
                                             pdf_dict_get_int(ctx, image, PDF_NAME(Height)),
                                             pdf_dict_get_int(ctx, mask, PDF_NAME(Width)),
                                             pdf_dict_get_int(ctx, mask, PDF_NAME(Height)));
    if (fz_is_empty_irect(maskPixels))
        fz_throw(ctx, FZ_ERROR_GENERIC, "an image's mask has no pixels");
    const Cut maskCut = cut(ctx, doc, mask, maskPixels);
    if (maskCut.image) {
        pdf_dict_put_drop(ctx, dictionary, key, maskCut.image);
        *saved += maskCut.saved;
    }
}

} // namespace

Cut cut(fz_context* ctx, pdf_document* doc, pdf_obj* image, fz_irect pixels) {
    const int width = pdf_dict_get_int(ctx, image, PDF_NAME(Width));
    const int height = pdf_dict_get_int(ctx, image, PDF_NAME(Height));
    if (anyFilter(ctx, image, PDF_NAME(JPXDecode)))
        fz_throw(ctx, FZ_ERROR_GENERIC, "a JPEG 2000 image cannot be cut");
    const bool jpeg = onlyFilter(ctx, image, PDF_NAME(DCTDecode));
    const int components = jpeg ? 0 : componentsOf(ctx, image);
    const int bpc = pdf_dict_get_bool(ctx, image, PDF_NAME(ImageMask))
                        ? 1
                        : pdf_dict_get_int(ctx, image, PDF_NAME(BitsPerComponent));
    if (!jpeg && (bpc < 1 || bpc > 16))
        fz_throw(ctx, FZ_ERROR_GENERIC, "an image has %d bits per component", bpc);

    Cut result;
    result.pixels = pixels;
    fz_buffer* stream = nullptr;
    pdf_obj* dictionary = nullptr;
    fz_var(stream);
    fz_var(dictionary);
    fz_try(ctx) {
        dictionary = pdf_copy_dict(ctx, image);
        pdf_dict_del(ctx, dictionary, PDF_NAME(Length));
        if (jpeg) {
            stream = cutJpeg(ctx, image, &result.pixels);
        } else {
            // A scan of one bit per pixel is far smaller as a fax than deflated.
            const bool fax = components == 1 && bpc == 1;
            stream = encodedSamples(ctx, image, components, bpc, pixels, fax);
            if (fax) {
                pdf_dict_put(ctx, dictionary, PDF_NAME(Filter), PDF_NAME(CCITTFaxDecode));
                pdf_obj* parameters = pdf_dict_put_dict(ctx, dictionary, PDF_NAME(DecodeParms), 3);
                pdf_dict_put_int(ctx, parameters, PDF_NAME(K), -1);
                pdf_dict_put_int(ctx, parameters, PDF_NAME(Columns), pixels.x1 - pixels.x0);
                pdf_dict_put_int(ctx, parameters, PDF_NAME(Rows), pixels.y1 - pixels.y0);
            } else {
                pdf_dict_put(ctx, dictionary, PDF_NAME(Filter), PDF_NAME(FlateDecode));
                pdf_dict_del(ctx, dictionary, PDF_NAME(DecodeParms));
            }
        }
        pdf_dict_put_int(ctx, dictionary, PDF_NAME(Width), result.pixels.x1 - result.pixels.x0);
        pdf_dict_put_int(ctx, dictionary, PDF_NAME(Height), result.pixels.y1 - result.pixels.y0);
        cutMask(ctx, doc, image, PDF_NAME(SMask), result.pixels, dictionary, &result.saved);
        cutMask(ctx, doc, image, PDF_NAME(Mask), result.pixels, dictionary, &result.saved);
        result.saved +=
            int64_t(pdf_dict_get_int(ctx, image, PDF_NAME(Length))) - int64_t(stream->len);
        result.image = pdf_add_stream(ctx, doc, stream, dictionary, 1);
    }
    fz_always(ctx) {
        fz_drop_buffer(ctx, stream);
        pdf_drop_obj(ctx, dictionary);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
    // Widened to the blocks, a JPEG's cut may be all of it.
    if (result.pixels.x0 == 0 && result.pixels.y0 == 0 && result.pixels.x1 == width &&
        result.pixels.y1 == height) {
        pdf_drop_obj(ctx, result.image);
        return Cut{};
    }
    return result;
}

Cut cutOnce(fz_context* ctx, pdf_document* doc, pdf_obj* image, fz_irect pixels, CutsMade* made) {
    const std::array<int, 5> key{pdf_to_num(ctx, image), pixels.x0, pixels.y0, pixels.x1,
                                 pixels.y1};
    if (const auto found = made->cuts.find(key); found != made->cuts.end())
        return found->second;
    // A cut that keeps the whole image is none, and is kept as none, so that a JPEG widened to
    // its blocks is decoded once to learn so.
    return made->cuts.emplace(key, cut(ctx, doc, image, pixels)).first->second;
}

void drop(fz_context* ctx, CutsMade* made) {
    for (const auto& entry : made->cuts)
        pdf_drop_obj(ctx, entry.second.image);
    made->cuts.clear();
}

} // namespace MupdfImageCut
