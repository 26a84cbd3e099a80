#include "platform/NativePath.h"

#include <QDir>

namespace NativePath {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at the start of bytes, or 0 when it is not one.
qsizetype sequenceLength(QByteArrayView bytes) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, least = 0x10000;
    if (length == 0 || bytes.size() < length)
        return 0;
    char32_t code = lead & (0xFF >> (length + 1));
    for (qsizetype i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode's end are not valid UTF-8.
    if (code < least || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

bool isEscape(QChar c) {
    return c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF;
}

} // namespace

QString decode(QByteArrayView name) {
    QString path;
    path.reserve(name.size());
    qsizetype run = 0; // start of the valid UTF-8 not yet decoded
    for (qsizetype i = 0; i < name.size();) {
        if (const qsizetype length = sequenceLength(name.sliced(i))) {
            i += length;
            continue;
        }
        path += QString::fromUtf8(name.sliced(run, i - run));
        path += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(name[i])));
        run = ++i;
    }
    path += QString::fromUtf8(name.sliced(run));
    return path;
}

QByteArray encode(const QString& path) {
    QByteArray name;
    name.reserve(path.size());
    qsizetype run = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!isEscape(path[i]))
            continue;
        name += QStringView(path).sliced(run, i - run).toUtf8();
        name += char(path[i].unicode() - kEscapeBase);
        run = i + 1;
    }
    name += QStringView(path).sliced(run).toUtf8();
    return name;
}

QString absolute(const QString& path) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

} // namespace NativePath
