#include "crop/PdfBoxText.h"

#include <cmath>

namespace PdfBoxText {

QByteArray number(double value) {
    if (value == std::floor(value) && std::abs(value) < 1e15)
        return QByteArray::number(static_cast<qint64>(value));
    // A value a hair from a whole number rounds to one: its zeros go, and so does the bare
    // point they leave ("612", not "612."), and a hair below zero is "0", not "-0".
    QByteArray text = QByteArray::number(value, 'f', 6);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text == "-0" ? QByteArray("0") : text;
}

QByteArray array(const QRectF& box) {
    return '[' + number(box.left()) + ' ' + number(box.top()) + ' ' + number(box.right()) + ' ' +
           number(box.bottom()) + ']';
}

} // namespace PdfBoxText
