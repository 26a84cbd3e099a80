#include "crop/RectString.h"

namespace RectString {

QString fromRect(const QRectF& rect) {
    auto n = [](double v) { return QString::number(v, 'g', 17); };
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(n(rect.x()), n(rect.y()), n(rect.width()), n(rect.height()));
}

} // namespace RectString
