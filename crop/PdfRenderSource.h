#pragma once

#include "crop/PdfSourceData.h"

#include <QByteArray>

#include <memory>

// What a renderer needs to draw a document's pages: the file's bytes and, for a locked
// file, the password that unlocked it. Box changes are not part of it: the renderer is told
// the box and rotation to draw with each request.
struct PdfRenderSource {
    std::shared_ptr<const PdfSourceData> data;
    QByteArray password;
};
