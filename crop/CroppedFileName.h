#pragma once

#include <QString>

// The name a cropped copy of a file gets by default: "-cropped" before its ".pdf" (any case),
// or "-cropped.pdf" after a name without one, in the same folder.
namespace CroppedFileName {

QString of(const QString& path);

} // namespace CroppedFileName
