#pragma once

#include "crop/PdfLoader.h"

// Opens PDF files with qpdf, telling apart the ways a file can fail to open.
class QpdfLoader final : public PdfLoader {
public:
    PdfOpenResult open(const QString& path) const override;
};
