#include "crop/PdfBoxText.h"

#include <cmath>

namespace PdfBoxText {

QByteArray number(double value) {
    if (value == std::floor(value) && std::abs(value) < 1e15)
        return QByteArray::number(static_cast<qint64>(value));
    QByteArray text = QByteArray::number(value, 'f', 6);
    while (text.endsWith('0'))
        text.chop(1);
    return text;
}

QByteArray array(const QRectF& box) {
    return '[' + number(box.left()) + ' ' + number(box.top()) + ' ' + number(box.right()) + ' ' +
           number(box.bottom()) + ']';
}

} // namespace PdfBoxText
