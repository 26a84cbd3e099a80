#include "crop/CropPreset.h"

#include "crop/CropLength.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

QSizeF millimetres(double width, double height) {
    using Unit = CropLength::Unit;
    return {CropLength{width, Unit::Millimetres}.inPoints(0),
            CropLength{height, Unit::Millimetres}.inPoints(0)};
}

QString number(double value) {
    return QString::number(value, 'g', 10);
}

const QString kTimes = QStringLiteral(" \u00d7 ");

QString unitName(CropLength::Unit unit) {
    switch (unit) {
    case CropLength::Unit::Millimetres:
        return QStringLiteral("mm");
    case CropLength::Unit::Inches:
        return QStringLiteral("in");
    case CropLength::Unit::Points:
    case CropLength::Unit::Percent:
        break;
    }
    return QStringLiteral("pt");
}

// One side of a size: its length, and whether the text named a unit for it.
struct Side {
    CropLength length;
    bool hasUnit = false;
};

std::optional<Side> parseSide(const QString& text) {
    const auto length = CropLength::parse(text);
    if (!length || !(length->value > 0) || length->unit == CropLength::Unit::Percent)
        return std::nullopt;
    const QString trimmed = text.trimmed();
    return Side{*length, trimmed.back().isLetter()};
}

std::optional<CropPreset> parseSize(const QString& text) {
    const QStringList sides = text.split(QRegularExpression(
        QStringLiteral("[x\u00d7*]"), QRegularExpression::CaseInsensitiveOption));
    if (sides.size() != 2)
        return std::nullopt;
    auto width = parseSide(sides[0]);
    const auto height = parseSide(sides[1]);
    if (!width || !height)
        return std::nullopt;
    // "6 x 9 in": the unit after the height is the width's too.
    if (!width->hasUnit)
        width->length.unit = height->length.unit;
    else if (width->length.unit != height->length.unit)
        return std::nullopt;
    const auto unit = height->length.unit;
    const QString name = number(width->length.value) + kTimes + number(height->length.value) +
                         QLatin1Char(' ') + unitName(unit);
    return CropPreset::size(name, {width->length.inPoints(0), height->length.inPoints(0)});
}

std::optional<CropPreset> parseAspect(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(\d+\.?\d*|\.\d+)\s*:\s*(\d+\.?\d*|\.\d+)\s*$)"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const double width = match.captured(1).toDouble();
    const double height = match.captured(2).toDouble();
    if (!(width > 0 && height > 0))
        return std::nullopt;
    return CropPreset::aspect(number(width) + QLatin1Char(':') + number(height), {width, height});
}

// The smallest size of ratio's proportions that holds size, made smaller again, keeping the
// proportions, where it is larger than limit. The side that meets the limit is set to it
// exactly, so that the page's edges are not missed by a rounding.
QSizeF ofRatio(const QSizeF& size, const QSizeF& ratio, const QSizeF& limit) {
    const double proportion = ratio.width() / ratio.height();
    double width = std::max(size.width(), size.height() * proportion);
    double height = width / proportion;
    if (width > limit.width()) {
        width = limit.width();
        height = width / proportion;
    }
    if (height > limit.height()) {
        height = limit.height();
        width = height * proportion;
    }
    return {width, height};
}

// points turned so that its longer side runs along the page's longer side, then cut to the
// page.
QSizeF ofPaper(const QSizeF& points, const QSizeF& page) {
    QSizeF paper = points;
    const bool landscapePage = page.width() > page.height();
    if (landscapePage != (paper.width() > paper.height()))
        paper.transpose();
    return paper.boundedTo(page);
}

} // namespace

CropPreset::CropPreset(Kind kind, const QString& name, const QSizeF& dimensions)
    : kind_(kind), name_(name), dimensions_(dimensions) {}

CropPreset CropPreset::size(const QString& name, const QSizeF& points) {
    return {Kind::Size, name, points};
}

CropPreset CropPreset::aspect(const QString& name, const QSizeF& ratio) {
    return {Kind::Aspect, name, ratio};
}

QList<CropPreset> CropPreset::builtIns() {
    return {
        size(QStringLiteral("A4"), millimetres(210, 297)),
        size(QStringLiteral("A5"), millimetres(148, 210)),
        size(QStringLiteral("Letter"), {612, 792}),
        size(QStringLiteral("Legal"), {612, 1008}),
        size(QStringLiteral("6") + kTimes + QStringLiteral("9 in"), {432, 648}),
        aspect(QStringLiteral("16:9"), {16, 9}),
        aspect(QStringLiteral("4:3"), {4, 3}),
        aspect(QStringLiteral("Square"), {1, 1}),
    };
}

std::optional<CropPreset> CropPreset::parse(const QString& text) {
    if (text.contains(QLatin1Char(':')))
        return parseAspect(text);
    return parseSize(text);
}

std::optional<QSizeF> CropPreset::lockedRatio() const {
    if (kind_ == Kind::Aspect)
        return dimensions_;
    return std::nullopt;
}

QRectF CropPreset::placed(const QSizeF& displayedPage, const QRectF& around) const {
    const QSizeF page = displayedPage.expandedTo({0, 0});
    QRectF target = around.normalized();
    if (target.width() <= 0 && target.height() <= 0)
        target = QRectF(QPointF(0, 0), page);
    const QSizeF size = kind_ == Kind::Size ? ofPaper(dimensions_, page)
                                            : ofRatio(target.size(), dimensions_, page);
    QRectF placed(QPointF(0, 0), size);
    placed.moveCenter(target.center());
    // QRectF's left and top are its least x and y: in display space, the left and bottom.
    placed.moveLeft(std::max(0.0, std::min(placed.left(), page.width() - size.width())));
    placed.moveTop(std::max(0.0, std::min(placed.top(), page.height() - size.height())));
    return placed;
}
