#include "render/ScanPicture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace {

// How much darker the pixels are: MuPDF decodes to RGB, which rounding and colour conversion
// move a level or two from the luma.
constexpr int kDarker = 4;

struct Decoder {
    jpeg_decompress_struct jpeg{};
    jpeg_error_mgr errors{};
    std::jmp_buf failed{};
    bool created = false;
    QImage grey;

    ~Decoder() {
        if (created)
            jpeg_destroy_decompress(&jpeg);
    }
};

} // namespace

std::unique_ptr<ScanPicture> ScanPicture::read(const QByteArray& jpeg, int colorTransform) {
    auto decoder = std::make_unique<Decoder>();
    Decoder* d = decoder.get();
    d->jpeg.err = jpeg_std_error(&d->errors);
    d->errors.error_exit = [](j_common_ptr common) {
        std::longjmp(static_cast<Decoder*>(common->client_data)->failed, 1);
    };
    // Damage the decoder reads past is not ours to print.
    d->errors.output_message = [](j_common_ptr) {};
    // From here libjpeg may jump back on an error: nothing is made or destroyed in between.
    if (setjmp(d->failed))
        return nullptr;
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
    if (colours != JCS_GRAYSCALE && colours != JCS_RGB && colours != JCS_YCbCr)
        return nullptr;
    d->jpeg.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&d->jpeg);
    d->grey =
        QImage(int(d->jpeg.output_width), int(d->jpeg.output_height), QImage::Format_Grayscale8);
    if (d->grey.isNull())
        return nullptr;
    while (d->jpeg.output_scanline < d->jpeg.output_height) {
        JSAMPROW row = d->grey.scanLine(int(d->jpeg.output_scanline));
        jpeg_read_scanlines(&d->jpeg, &row, 1);
    }
    jpeg_finish_decompress(&d->jpeg);
    return std::unique_ptr<ScanPicture>(new ScanPicture(std::move(d->grey)));
}

std::unique_ptr<ScanPicture> ScanPicture::of(QImage greys) {
    if (greys.isNull() || greys.format() != QImage::Format_Grayscale8)
        return nullptr;
    return std::unique_ptr<ScanPicture>(new ScanPicture(std::move(greys)));
}

QImage ScanPicture::blockPicture() const {
    const int w = grey_.width(), h = grey_.height();
    QImage picture((w + 7) / 8, (h + 7) / 8, QImage::Format_Grayscale8);
    std::vector<int> sums(size_t(picture.width()));
    for (int by = 0; by < picture.height(); ++by) {
        std::fill(sums.begin(), sums.end(), 0);
        const int rows = std::min(8, h - by * 8);
        for (int y = by * 8; y < by * 8 + rows; ++y) {
            const uchar* line = grey_.constScanLine(y);
            for (int bx = 0; bx < picture.width(); ++bx) {
                int sum = 0;
                for (int x = bx * 8; x < std::min(bx * 8 + 8, w); ++x)
                    sum += line[x];
                sums[size_t(bx)] += sum;
            }
        }
        uchar* out = picture.scanLine(by);
        for (int bx = 0; bx < picture.width(); ++bx)
            out[bx] = uchar(sums[size_t(bx)] / (rows * std::min(8, w - bx * 8)));
    }
    return picture;
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
