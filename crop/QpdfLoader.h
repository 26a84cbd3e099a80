#pragma once

#include "crop/PagesRead.h"
#include "crop/PdfLoader.h"
#include "crop/PdfSourceData.h"
#include "crop/SaveWriter.h"

#include <QByteArray>

#include <memory>

// Opens PDF files with qpdf, telling apart the ways a file can fail to open.
class QpdfLoader final : public PdfLoader {
public:
    // Reads pages with read, or with qpdf in this process when it is empty; the documents it
    // opens save to files with save (here when empty).
    explicit QpdfLoader(PageReader read = {}, std::shared_ptr<SaveWriter> save = {});

    // The documents it opens are saved soon after they are opened, as the command line's are:
    // their pages are read where their saves are prepared (SaveWriter::readPagesAndPrepare).
    void setSavedSoon(bool savedSoon) { savedSoon_ = savedSoon; }

    PdfOpenResult open(const QString& path) const override;
    // Opens a document held in memory, or in a file already mapped; name stands for the file
    // in messages.
    PdfOpenResult openBytes(QByteArray bytes, const QString& name) const;
    PdfOpenResult openData(std::shared_ptr<const PdfSourceData> data, const QString& name) const;

private:
    PageReader read_;
    std::shared_ptr<SaveWriter> save_;
    bool savedSoon_ = false;
};
