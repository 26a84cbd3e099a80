#include "crop/CropLength.h"

#include <QRegularExpression>

#include <cmath>

namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kMillimetresPerInch = 25.4;

} // namespace

double CropLength::inPoints(double pageSide) const {
    switch (unit) {
    case Unit::Points:
        return value;
    case Unit::Millimetres:
        return value * kPointsPerInch / kMillimetresPerInch;
    case Unit::Inches:
        return value * kPointsPerInch;
    case Unit::Percent:
        return value * pageSide / 100.0;
    }
    return value;
}

CropLength CropLength::fromPoints(double points, Unit unit, double pageSide) {
    switch (unit) {
    case Unit::Points:
        break;
    case Unit::Millimetres:
        return {points * kMillimetresPerInch / kPointsPerInch, unit};
    case Unit::Inches:
        return {points / kPointsPerInch, unit};
    case Unit::Percent:
        return {pageSide > 0 ? points / pageSide * 100.0 : 0.0, unit};
    }
    return {points, Unit::Points};
}

std::optional<CropLength> CropLength::parse(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*([-+]?(?:\d+\.?\d*|\.\d+))\s*(pt|mm|in|%)?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = match.captured(1).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const QString unit = match.captured(2).toLower();
    CropLength length{value, Unit::Points};
    if (unit == QLatin1String("mm"))
        length.unit = Unit::Millimetres;
    else if (unit == QLatin1String("in"))
        length.unit = Unit::Inches;
    else if (unit == QLatin1String("%"))
        length.unit = Unit::Percent;
    return length;
}
