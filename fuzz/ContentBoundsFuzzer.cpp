// Untrusted bytes measured as the render host measures them: MuPDF finds where the content of
// the page the input asks for is, and the answer goes over the host's wire. The input ends in
// six bytes: the page index (signed), how content is found (drawn, ink or either), the ink
// threshold, the smallest spot of ink, and where a half-page region to look in lies (signed,
// in steps of 5 points; both zero for the media box). Whatever the bytes, bounds found are a
// finite, non-empty rectangle within the region (to a pixel of the picture measured), measuring
// again gives the same, and no pixel can be ink below a threshold of 0 nor a spot larger than
// the picture measured.

#include "fuzz/FuzzRequire.h"
#include "fuzz/TrailingChoices.h"
#include "render/MupdfRasterizer.h"
#include "render/RenderHostProtocol.h"

#include <cmath>
#include <cstdint>

namespace {

// Larger than the picture ink is looked for in: no spot is this large.
constexpr int kSpotLargerThanAnyPicture = 320 * 320 + 1;

bool finiteAndNonEmpty(const QRectF& r) {
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
           std::isfinite(r.height()) && r.width() > 0 && r.height() > 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto input = TrailingChoices<6>::read(data, size);
    MupdfRasterizer rasterizer(
        PdfRenderSource{PdfSourceData::fromBytes(std::move(input.document)), QByteArray()});
    const int page = std::int8_t(input.choices[0]);
    const int regionX = std::int8_t(input.choices[4]), regionY = std::int8_t(input.choices[5]);
    const QRectF region =
        regionX || regionY ? QRectF(regionX * 5, regionY * 5, 306, 396) : QRectF();
    const ContentBoundsOptions options{ContentBoundsOptions::Mode(input.choices[1] % 3),
                                       input.choices[2], input.choices[3], region};

    // As the host answers a bounds request.
    int askedPage = -1;
    ContentBoundsOptions asked;
    FUZZ_REQUIRE(RenderHostProtocol::decodeBoundsRequest(
        RenderHostProtocol::encodeBoundsRequest(page, options), &askedPage, &asked));
    const std::optional<std::optional<QRectF>> answer = RenderHostProtocol::decodeBounds(
        RenderHostProtocol::encodeBounds(rasterizer.contentBounds(askedPage, asked)));
    FUZZ_REQUIRE(answer.has_value());
    const std::optional<QRectF> bounds = *answer;
    if (bounds) {
        FUZZ_REQUIRE(finiteAndNonEmpty(*bounds));
        FUZZ_REQUIRE(region.isEmpty() || region.adjusted(-2, -2, 2, 2).contains(*bounds));
    }
    FUZZ_REQUIRE(rasterizer.contentBounds(page, options) == bounds);

    if (options.mode == ContentBoundsOptions::Mode::Ink) {
        FUZZ_REQUIRE(
            !rasterizer.contentBounds(page, {options.mode, -1, options.minimumSpotPixels, region}));
        FUZZ_REQUIRE(!rasterizer.contentBounds(
            page, {options.mode, options.inkThreshold, kSpotLargerThanAnyPicture, region}));
    }
    return 0;
}
