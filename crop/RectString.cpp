#include "crop/RectString.h"

#include <QRegularExpression>

namespace RectString {

QString fromRect(const QRectF& rect) {
    auto n = [](double v) { return QString::number(v, 'g', 17); };
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(n(rect.x()), n(rect.y()), n(rect.width()), n(rect.height()));
}

QRectF toRect(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?|[-+]?(?:inf|nan))"));
    double values[4] = {0, 0, 0, 0};
    int found = 0;
    for (auto it = number.globalMatch(text); it.hasNext() && found < 4;)
        values[found++] = it.next().captured().toDouble();
    if (found < 4)
        return QRectF();
    return QRectF(values[0], values[1], values[2], values[3]);
}

} // namespace RectString
