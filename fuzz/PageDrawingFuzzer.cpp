// Untrusted bytes drawn as the render host draws them: MuPDF opens the document in this
// process and draws the page the input asks for, and the picture goes over the host's wire.
// The input ends in eight bytes, each a signed number, that make the request: the page index;
// the turn in eighths of a full one (45 degrees, so half of them are refused); the box's x, y,
// width and height in steps of 8 points; the picture's width and height in pixels, halved, so
// at most 64. Whatever the bytes, opening says why when there are no pages, a request gives
// a picture of the size asked for or a reason, drawing it again gives the same picture, and
// what the host sends of it reads back as it was.

#include "fuzz/FuzzRequire.h"
#include "fuzz/TrailingChoices.h"
#include "render/MupdfRasterizer.h"
#include "render/RenderHostProtocol.h"

#include <cstdint>

namespace {

constexpr double kDevicePixelRatio = 2;

PageRenderRequest requestOf(const std::array<std::uint8_t, 8>& choices) {
    const auto number = [&choices](std::size_t i) { return int(std::int8_t(choices[i])); };
    return {number(0), QRectF(8 * number(2), 8 * number(3), 8 * number(4), 8 * number(5)),
            45 * number(1), QSize(number(6) / 2, number(7) / 2), kDevicePixelRatio};
}

bool samePicture(const PageRenderResult& a, const PageRenderResult& b) {
    return a.error == b.error && a.image.size() == b.image.size() &&
           a.image.convertToFormat(QImage::Format_RGB32) ==
               b.image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto input = TrailingChoices<8>::read(data, size);
    MupdfRasterizer rasterizer(
        PdfRenderSource{PdfSourceData::fromBytes(std::move(input.document)), QByteArray()});
    // The host sends why it has no pages in place of the page count.
    if (rasterizer.pageCount() == 0) {
        FUZZ_REQUIRE(!rasterizer.render({}, {}).error.isEmpty());
        return 0;
    }

    const PageRenderRequest request = requestOf(input.choices);
    const PageRenderResult result = rasterizer.render(request, {});
    FUZZ_REQUIRE(!result.cancelled && !result.rendererLost);
    if (result.image.isNull()) {
        FUZZ_REQUIRE(!result.error.isEmpty());
    } else {
        FUZZ_REQUIRE(result.error.isEmpty());
        FUZZ_REQUIRE(result.image.size() == request.pixelSize);
        FUZZ_REQUIRE(result.image.devicePixelRatio() == kDevicePixelRatio);
    }

    const std::optional<PageRenderResult> sent =
        RenderHostProtocol::decodeResult(RenderHostProtocol::encodeResult(result));
    FUZZ_REQUIRE(sent && samePicture(*sent, result));
    FUZZ_REQUIRE(sent->image.text(PageRenderResult::kPartlyReadKey) ==
                 result.image.text(PageRenderResult::kPartlyReadKey));
    FUZZ_REQUIRE(sent->image.devicePixelRatio() == result.image.devicePixelRatio());

    // The host draws many requests with one rasterizer; what it drew before changes nothing.
    FUZZ_REQUIRE(samePicture(rasterizer.render(request, {}), result));
    return 0;
}
