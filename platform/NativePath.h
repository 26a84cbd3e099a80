#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names as the file system holds them: bytes, which are UTF-8 by convention but need not
// be. Qt reads every name as UTF-8, so a name such as "caf\xE9.pdf" (Latin-1) would come back
// as another name that does not exist. Here a byte that is not part of valid UTF-8 is kept as
// a character of its own (U+DC80 to U+DCFF, which text never holds) and written back as the
// same byte, so every name survives the round trip and reaches the same file.
//
// Paths pass through this wherever the program hands them to the system itself; names that
// are valid UTF-8, nearly all of them, read and write exactly as Qt's own do.
namespace NativePath {

QString decode(QByteArrayView name);
QByteArray encode(const QString& path);
// path made absolute against the working folder, and cleaned, keeping every character (Qt's
// file information makes a relative path absolute through UTF-8 and loses what is not).
QString absolute(const QString& path);

} // namespace NativePath
