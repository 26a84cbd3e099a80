#include "crop/PageSplit.h"

#include "crop/PagePart.h"

#include <optional>

namespace {

// The edges of count parts of a side length long, dropping gap across each line between
// them: pairs of (start, end) from the side's start. Nothing when they do not fit.
std::optional<std::vector<std::pair<double, double>>>
divide(double length, int count, const std::vector<CropLength>& lines, const CropLength& gap) {
    std::vector<double> at;
    if (lines.empty()) {
        for (int i = 1; i < count; ++i)
            at.push_back(length * i / count);
    } else if (static_cast<int>(lines.size()) == count - 1) {
        for (const CropLength& line : lines)
            at.push_back(line.inPoints(length));
    } else {
        return std::nullopt;
    }
    const double half = gap.inPoints(length) / 2;
    if (!(half >= 0))
        return std::nullopt;
    std::vector<std::pair<double, double>> parts;
    double start = 0;
    for (size_t i = 0; i <= at.size(); ++i) {
        const double end = i < at.size() ? at[i] - half : length;
        if (!(end > start) || end > length)
            return std::nullopt;
        parts.emplace_back(start, end);
        if (i < at.size())
            start = at[i] + half;
    }
    return parts;
}

} // namespace

std::vector<QRectF> PageSplit::parts(const QRectF& whole) const {
    if (columns < 1 || rows < 1 || partCount() < 2 || partCount() > PagePart::kMostParts)
        return {};
    const bool linesAcross = columns > 1;
    const auto across =
        divide(whole.width(), columns, linesAcross ? lines : std::vector<CropLength>(),
               linesAcross ? gap : CropLength());
    const auto down = divide(whole.height(), rows, linesAcross ? std::vector<CropLength>() : lines,
                             rows > 1 ? gap : CropLength());
    if (!across || !down)
        return {};
    std::vector<QRectF> parts;
    for (const auto& [top, bottom] : *down) {
        for (int c = 0; c < columns; ++c) {
            const auto& [left, right] =
                (*across)[static_cast<size_t>(rightToLeft ? columns - 1 - c : c)];
            // Rows are measured from the top; display space runs upward.
            parts.emplace_back(whole.left() + left, whole.bottom() - bottom, right - left,
                               bottom - top);
        }
    }
    return parts;
}
