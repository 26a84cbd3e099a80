#include "render/ScanPicture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include <jpeglib.h>

namespace {

// How much darker the pixels are: MuPDF decodes to RGB, which rounding and colour conversion
// move a level or two from the luma.
constexpr int kDarker = 4;
constexpr int kBlock = 8;

struct Decoder {
    jpeg_decompress_struct jpeg{};
    jpeg_error_mgr errors{};
    std::jmp_buf failed{};
    bool created = false;

    ~Decoder() {
        if (created)
            jpeg_destroy_decompress(&jpeg);
    }
};

} // namespace

bool ScanPicture::read(const QByteArray& jpeg, int colorTransform) {
    auto decoder = std::make_unique<Decoder>();
    Decoder* d = decoder.get();
    d->jpeg.err = jpeg_std_error(&d->errors);
    d->errors.error_exit = [](j_common_ptr common) {
        std::longjmp(static_cast<Decoder*>(common->client_data)->failed, 1);
    };
    // Damage the decoder reads past is not ours to print.
    d->errors.output_message = [](j_common_ptr) {};
    // From here libjpeg may jump back on an error: nothing is made or destroyed in between.
    if (setjmp(d->failed)) {
        resize({});
        return false;
    }
    jpeg_create_decompress(&d->jpeg);
    d->created = true;
    d->jpeg.client_data = d;
    jpeg_mem_src(&d->jpeg, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                 static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&d->jpeg, TRUE);
    if (d->jpeg.num_components == 3 && colorTransform == 0)
        d->jpeg.jpeg_color_space = JCS_RGB;
    else if (d->jpeg.num_components == 3 && colorTransform == 1)
        d->jpeg.jpeg_color_space = JCS_YCbCr;
    const J_COLOR_SPACE colours = d->jpeg.jpeg_color_space;
    if ((colours != JCS_GRAYSCALE && colours != JCS_RGB && colours != JCS_YCbCr) ||
        !resize(QSize(int(d->jpeg.image_width), int(d->jpeg.image_height)))) {
        resize({});
        return false;
    }
    d->jpeg.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&d->jpeg);
    // Each band of a block's height is averaged as soon as it is decoded, while it is still in
    // the processor's cache.
    JSAMPROW rows[kBlock];
    while (d->jpeg.output_scanline < d->jpeg.output_height) {
        const int band = int(d->jpeg.output_scanline);
        const int count = std::min(kBlock, grey_.height() - band);
        for (int i = 0; i < count; ++i)
            rows[i] = grey_.scanLine(band + i);
        while (int(d->jpeg.output_scanline) < band + count) {
            const int done = int(d->jpeg.output_scanline) - band;
            jpeg_read_scanlines(&d->jpeg, rows + done, JDIMENSION(count - done));
        }
        averageBlocks(band);
    }
    jpeg_finish_decompress(&d->jpeg);
    return true;
}

bool ScanPicture::take(QImage greys) {
    grey_ = std::move(greys);
    if (grey_.format() != QImage::Format_Grayscale8 || grey_.isNull() || !resize(grey_.size())) {
        resize({});
        return false;
    }
    for (int y = 0; y < grey_.height(); y += kBlock)
        averageBlocks(y);
    return true;
}

bool ScanPicture::resize(QSize size) {
    const QSize blocks((size.width() + kBlock - 1) / kBlock, (size.height() + kBlock - 1) / kBlock);
    if (grey_.size() != size)
        grey_ = size.isEmpty() ? QImage() : QImage(size, QImage::Format_Grayscale8);
    if (blocks_.size() != blocks)
        blocks_ = size.isEmpty() ? QImage() : QImage(blocks, QImage::Format_Grayscale8);
    if (grey_.isNull() || blocks_.isNull()) {
        grey_ = {};
        blocks_ = {};
        return size.isEmpty();
    }
    return true;
}

void ScanPicture::averageBlocks(int y) {
    const int width = grey_.width();
    const int rows = std::min(kBlock, grey_.height() - y);
    const uchar* lines[kBlock];
    for (int r = 0; r < rows; ++r)
        lines[r] = grey_.constScanLine(y + r);
    uchar* out = blocks_.scanLine(y / kBlock);
    // Eight pixels are summed at once, as four 16-bit sums in a 64-bit number: the even bytes
    // and the odd bytes of each row apart, which cannot overflow (2 x 8 x 255 < 65536).
    constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFull;
    const int whole = width / kBlock;
    for (int b = 0; b < whole; ++b) {
        std::uint64_t lanes = 0;
        for (int r = 0; r < rows; ++r) {
            std::uint64_t eight;
            std::memcpy(&eight, lines[r] + b * kBlock, sizeof eight);
            lanes += (eight & kEvenBytes) + ((eight >> 8) & kEvenBytes);
        }
        const auto sum = int((lanes + (lanes >> 16) + (lanes >> 32) + (lanes >> 48)) & 0xFFFF);
        out[b] = uchar(sum / (rows * kBlock));
    }
    if (const int rest = width - whole * kBlock; rest > 0) {
        int sum = 0;
        for (int r = 0; r < rows; ++r)
            for (int x = whole * kBlock; x < width; ++x)
                sum += lines[r][x];
        out[whole] = uchar(sum / (rows * rest));
    }
}

QImage ScanPicture::picture(const QRect& area) const {
    if (area.isEmpty() || !grey_.rect().contains(area))
        return {};
    QImage part = grey_.copy(area);
    for (int y = 0; y < part.height(); ++y) {
        uchar* line = part.scanLine(y);
        for (int x = 0; x < part.width(); ++x)
            line[x] = uchar(std::max(0, line[x] - kDarker));
    }
    return part;
}
