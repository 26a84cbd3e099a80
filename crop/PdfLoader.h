#pragma once

#include "crop/PdfOpenResult.h"

#include <QString>

// Opens PDF files. Callers hold this interface rather than a library's document class, so
// parsing can move elsewhere (another process, another library) without touching them.
class PdfLoader {
public:
    virtual ~PdfLoader() = default;
    virtual PdfOpenResult open(const QString& path) const = 0;
};
