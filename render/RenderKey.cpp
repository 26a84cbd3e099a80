#include "render/RenderKey.h"

#include <QHashFunctions>

RenderKey::RenderKey(const PageRenderRequest& request)
    : pageIndex(request.pageIndex), box(request.box), rotation(request.rotation),
      pixelSize(request.pixelSize), devicePixelRatio(request.devicePixelRatio) {}

bool RenderKey::operator==(const RenderKey& other) const {
    return pageIndex == other.pageIndex && box.x() == other.box.x() && box.y() == other.box.y() &&
           box.width() == other.box.width() && box.height() == other.box.height() &&
           rotation == other.rotation && pixelSize == other.pixelSize &&
           devicePixelRatio == other.devicePixelRatio;
}

size_t qHash(const RenderKey& key, size_t seed) noexcept {
    return qHashMulti(seed, key.pageIndex, key.box.x(), key.box.y(), key.box.width(),
                      key.box.height(), key.rotation, key.pixelSize.width(), key.pixelSize.height(),
                      key.devicePixelRatio);
}
