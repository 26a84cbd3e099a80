#include "render/ImageCache.h"

ImageCache::ImageCache(qsizetype capacityBytes) : capacityBytes_(capacityBytes) {}

QImage ImageCache::find(const RenderKey& key) {
    std::lock_guard lock(mutex_);
    const auto found = index_.constFind(key);
    if (found == index_.cend())
        return {};
    entries_.splice(entries_.begin(), entries_, *found);
    return entries_.front().second;
}

void ImageCache::insert(const RenderKey& key, const QImage& image) {
    // Pictures leaving the cache are released after the lock, as freeing large pixel
    // buffers is slow enough to hold up the other threads.
    std::vector<QImage> released;
    std::lock_guard lock(mutex_);
    if (const auto found = index_.constFind(key); found != index_.cend())
        released.push_back(take(*found));
    if (image.sizeInBytes() > capacityBytes_)
        return;
    entries_.emplace_front(key, image);
    index_.insert(key, entries_.begin());
    sizeInBytes_ += image.sizeInBytes();
    evictToCapacity(released);
}

void ImageCache::clear() {
    std::list<Entry> released;
    std::lock_guard lock(mutex_);
    released.swap(entries_);
    index_.clear();
    sizeInBytes_ = 0;
}

void ImageCache::setCapacityBytes(qsizetype capacityBytes) {
    std::vector<QImage> released;
    std::lock_guard lock(mutex_);
    capacityBytes_ = capacityBytes;
    evictToCapacity(released);
}

qsizetype ImageCache::sizeInBytes() const {
    std::lock_guard lock(mutex_);
    return sizeInBytes_;
}

QImage ImageCache::take(std::list<Entry>::iterator it) {
    QImage image = std::move(it->second);
    sizeInBytes_ -= image.sizeInBytes();
    index_.remove(it->first);
    entries_.erase(it);
    return image;
}

void ImageCache::evictToCapacity(std::vector<QImage>& released) {
    while (sizeInBytes_ > capacityBytes_)
        released.push_back(take(std::prev(entries_.end())));
}
