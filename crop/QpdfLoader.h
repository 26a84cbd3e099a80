#pragma once

#include "crop/PdfLoader.h"
#include "crop/PdfSourceData.h"

#include <QByteArray>

#include <memory>

// Opens PDF files with qpdf, telling apart the ways a file can fail to open.
class QpdfLoader final : public PdfLoader {
public:
    PdfOpenResult open(const QString& path) const override;
    // Opens a document held in memory; name stands for the file in messages.
    PdfOpenResult openBytes(QByteArray bytes, const QString& name) const;

private:
    PdfOpenResult openData(std::shared_ptr<const PdfSourceData> data, const QString& name) const;
};
