#pragma once

#include "render/RenderKey.h"

#include <QHash>
#include <QImage>

#include <list>
#include <mutex>
#include <utility>
#include <vector>

// Page pictures kept for reuse, bounded by the bytes their pixels take; the least recently
// used go first. One cache serves one document's bytes (see RenderKey).
//
// Every method may be called from any thread.
class ImageCache {
public:
    explicit ImageCache(qsizetype capacityBytes);

    // The picture stored under key, now the most recently used; a null image when absent.
    QImage find(const RenderKey& key);
    // Stores image under key, replacing what was there, and evicts the least recently used
    // pictures until the total fits. A picture larger than the whole capacity is not kept.
    void insert(const RenderKey& key, const QImage& image);
    void clear();

    // Evicts the least recently used pictures until the total fits the new capacity, as when
    // the window that shows them shrinks.
    void setCapacityBytes(qsizetype capacityBytes);
    qsizetype sizeInBytes() const;

private:
    using Entry = std::pair<RenderKey, QImage>;

    // Detaches the entry at it; returns its image so the caller frees the pixels after
    // releasing the lock.
    QImage take(std::list<Entry>::iterator it);
    // Detaches the least recently used entries until the total fits the capacity; their
    // images go to released, again to be freed after the lock.
    void evictToCapacity(std::vector<QImage>& released);

    qsizetype capacityBytes_;
    mutable std::mutex mutex_;
    // Most recently used first.
    std::list<Entry> entries_;
    QHash<RenderKey, std::list<Entry>::iterator> index_;
    qsizetype sizeInBytes_ = 0;
};
