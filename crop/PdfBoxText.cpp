#include "crop/PdfBoxText.h"

#include "crop/RectMath.h"

#include <algorithm>
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

std::array<QByteArray, kPdfBoxCount> arrays(const std::array<QRectF, kPdfBoxCount>& boxes) {
    std::array<QByteArray, kPdfBoxCount> texts;
    for (size_t box = 0; box < texts.size(); ++box) {
        texts[box] = box > 0 && RectMath::exactlyEqual(boxes[box], boxes[box - 1])
                         ? texts[box - 1]
                         : array(boxes[box]);
    }
    return texts;
}

bool sameArrays(const std::array<QRectF, kPdfBoxCount>& a,
                const std::array<QRectF, kPdfBoxCount>& b) {
    // Numbers more than a millionth apart are written apart, so only closer ones, rare between
    // boxes that differ at all, are formatted to be compared.
    const auto same = [](double x, double y) {
        return x == y || (std::abs(x - y) <= 1e-6 && number(x) == number(y));
    };
    return std::equal(a.begin(), a.end(), b.begin(), [&](const QRectF& x, const QRectF& y) {
        return same(x.left(), y.left()) && same(x.top(), y.top()) && same(x.right(), y.right()) &&
               same(x.bottom(), y.bottom());
    });
}

} // namespace PdfBoxText
