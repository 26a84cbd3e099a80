#include "ui/ColorHex.h"

namespace ColorHex {

namespace {

float channel(quint32 packed, int shift) {
    return static_cast<float>(static_cast<double>((packed >> shift) & 0xFFu) / 255.0);
}

} // namespace

QColor colorWithRGB(quint32 rgb) {
    return colorWithRGB(rgb, 1.0);
}

QColor colorWithRGB(quint32 rgb, qreal alpha) {
    return QColor::fromRgbF(channel(rgb, 16), channel(rgb, 8), channel(rgb, 0),
                            static_cast<float>(alpha));
}

QColor colorWithRGBA(quint32 argb) {
    return QColor::fromRgbF(channel(argb, 16), channel(argb, 8), channel(argb, 0),
                            channel(argb, 24));
}

} // namespace ColorHex
