// Doubles from the input, as rectangles, through the crop geometry and the rectangle maths.
// The first byte picks the rotation; then come four rectangles (page, crop, from, to) of four
// doubles each, missing bytes read as zeros. Every value, NaN and infinity too, goes through
// every function once; then the same rectangles cut down to page-sized numbers must keep the
// promises of the headers: results finite, inside the square, the page or the target, and a
// crop carried into view space and back the same crop.

#include "crop/CropGeometry.h"
#include "crop/RectMath.h"
#include "fuzz/FuzzRequire.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Larger than any page (PDF user space ends at a few times 10^4), small enough that sums of
// a few coordinates stay exact to well within the tolerance below.
constexpr double kPageLimit = 1e6;

bool finite(const QRectF& r) {
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
           std::isfinite(r.height());
}

// inner lies within outer, give or take rounding at the scale of the numbers involved.
bool within(const QRectF& inner, const QRectF& outer) {
    const double slack = 1e-9 * std::max({1.0, std::abs(outer.left()), std::abs(outer.right()),
                                          std::abs(outer.top()), std::abs(outer.bottom())});
    return inner.left() >= outer.left() - slack && inner.right() <= outer.right() + slack &&
           inner.top() >= outer.top() - slack && inner.bottom() <= outer.bottom() + slack;
}

bool near(const QRectF& a, const QRectF& b, double scale) {
    const double slack = 1e-9 * scale;
    return std::abs(a.x() - b.x()) <= slack && std::abs(a.y() - b.y()) <= slack &&
           std::abs(a.width() - b.width()) <= slack && std::abs(a.height() - b.height()) <= slack;
}

struct Input {
    qint64 rotation = 0;
    std::array<QRectF, 4> rects;
};

Input read(const std::uint8_t* data, std::size_t size) {
    std::array<double, 16> values{};
    const std::size_t used = size == 0 ? 0 : std::min(size - 1, sizeof values);
    if (used > 0)
        std::memcpy(values.data(), data + 1, used);
    Input input;
    input.rotation = size == 0 ? 0 : 90 * (data[0] % 4);
    for (std::size_t i = 0; i < input.rects.size(); ++i)
        input.rects[i] =
            QRectF(values[4 * i], values[4 * i + 1], values[4 * i + 2], values[4 * i + 3]);
    return input;
}

// A value of the same bits brought into page range: infinities and NaN become 0.
double pageSized(double v) {
    return std::isfinite(v) ? std::fmod(v, kPageLimit) : 0.0;
}

QRectF pageSized(const QRectF& r) {
    return QRectF(pageSized(r.x()), pageSized(r.y()), pageSized(r.width()), pageSized(r.height()));
}

RMCropInfo record(qint64 rotation, const QRectF& cropBox, const QRectF& crop) {
    RMCropInfo info;
    info.pageRoation = rotation;
    info.originalPageRect = cropBox;
    info.pageRect = rotation % 180 == 0 ? cropBox : cropBox.transposed();
    info.cropRect = crop;
    return info;
}

void runEverything(const Input& in) {
    const auto& [page, crop, from, to] = in.rects;
    const QRectF show = CropGeometry::mainPDFImgViewShowRect(page);
    const QRectF view = CropGeometry::pdfImgViewCropRectWithShowRect(show, page, crop);
    CropGeometry::displayRectFromViewRect(view, page, show.size());
    CropGeometry::fitCropRect(crop, from, to);
    CropGeometry::pageSpaceCropRect(record(in.rotation, page, crop));
    RectMath::intersection(RectMath::standardized(from), RectMath::standardized(to));
    RectMath::exactlyEqual(from, to);
}

void checkPromises(const Input& in) {
    const QRectF page = RectMath::standardized(pageSized(in.rects[0]));
    const QRectF from = RectMath::standardized(pageSized(in.rects[2]));
    const QRectF to = RectMath::standardized(pageSized(in.rects[3]));
    // A crop as the marker makes it: inside the displayed page.
    const QRectF displayed(QPointF(0, 0),
                           in.rotation % 180 == 0 ? page.size() : page.size().transposed());
    const QRectF crop =
        RectMath::intersection(RectMath::standardized(pageSized(in.rects[1])), displayed)
            .value_or(displayed);

    const QRectF square(0, 0, CropGeometry::kPageSquareSide, CropGeometry::kPageSquareSide);
    const QRectF show = CropGeometry::mainPDFImgViewShowRect(displayed);
    FUZZ_REQUIRE(finite(show) && within(show, square));
    const QRectF view = CropGeometry::pdfImgViewCropRectWithShowRect(show, displayed, crop);
    FUZZ_REQUIRE(finite(view));
    const QRectF back = CropGeometry::displayRectFromViewRect(view, displayed, show.size());
    FUZZ_REQUIRE(finite(back));
    // Pages of at least a point each way show at a scale that carries the crop there and back.
    if (displayed.width() >= 1 && displayed.height() >= 1)
        FUZZ_REQUIRE(near(back, crop, std::max(displayed.width(), displayed.height())));

    const QRectF fitted = CropGeometry::fitCropRect(crop, from, to);
    FUZZ_REQUIRE(finite(fitted) && within(fitted, QRectF(0, 0, to.width(), to.height())));

    const QRectF inPageSpace = CropGeometry::pageSpaceCropRect(record(in.rotation, page, crop));
    FUZZ_REQUIRE(finite(inPageSpace) && within(inPageSpace, page));

    const std::optional<QRectF> common = RectMath::intersection(from, to);
    const std::optional<QRectF> reversed = RectMath::intersection(to, from);
    FUZZ_REQUIRE(common.has_value() == reversed.has_value());
    if (common) {
        FUZZ_REQUIRE(RectMath::exactlyEqual(*common, *reversed));
        FUZZ_REQUIRE(common->width() >= 0 && common->height() >= 0);
        FUZZ_REQUIRE(within(*common, from) && within(*common, to));
    }
    FUZZ_REQUIRE(RectMath::exactlyEqual(RectMath::standardized(from), from));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Input input = read(data, size);
    runEverything(input);
    checkPromises(input);
    return 0;
}
