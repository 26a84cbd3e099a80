#pragma once

#include "render/PageRenderRequest.h"

#include <QRectF>
#include <QSize>

#include <cstddef>

// Identifies a page picture in the image cache: everything that changes its pixels.
//
// Values compare exactly, not with QRectF's fuzzy equality, so that equal keys always hash
// alike. The document is not part of the key: a cache serves one document's bytes.
struct RenderKey {
    explicit RenderKey(const PageRenderRequest& request);

    bool operator==(const RenderKey& other) const;

    int pageIndex;
    QRectF box;
    int rotation;
    QSize pixelSize;
    qreal devicePixelRatio;
};

size_t qHash(const RenderKey& key, size_t seed = 0) noexcept;
