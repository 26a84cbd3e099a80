#include "crop/PageSplit.h"

#include "crop/PagePart.h"

#include <optional>

namespace {

// Where count parts of a side length long meet, when they are equal.
std::vector<double> evenLines(double length, int count) {
    std::vector<double> at;
    for (int i = 1; i < count; ++i)
        at.push_back(length * i / count);
    return at;
}

// The edges of the parts of a side length long that meet at lines at, dropping gap across
// each: pairs of (start, end) from the side's start. Nothing when they do not fit.
std::optional<std::vector<std::pair<double, double>>>
divide(double length, const std::vector<double>& at, const CropLength& gap) {
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

std::optional<std::vector<double>> PageSplit::lineOffsets(double length) const {
    const int count = linesDown() ? columns : rows;
    if (lines.empty())
        return evenLines(length, count);
    if (static_cast<int>(lines.size()) != count - 1)
        return std::nullopt;
    std::vector<double> at;
    for (const CropLength& line : lines)
        at.push_back(line.inPoints(length));
    return at;
}

std::vector<QRectF> PageSplit::parts(const QRectF& whole) const {
    if (columns < 1 || rows < 1 || partCount() < 2 || partCount() > PagePart::kMostParts)
        return {};
    const auto placed = lineOffsets(linesDown() ? whole.width() : whole.height());
    if (!placed)
        return {};
    const auto across =
        divide(whole.width(), linesDown() ? *placed : evenLines(whole.width(), columns), gap);
    const auto down =
        divide(whole.height(), linesDown() ? evenLines(whole.height(), rows) : *placed, gap);
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
