#include "platform/CollectionViewReusePool.h"

void CollectionViewReusePool::registerFactory(const QString& identifier, Factory factory) {
    kinds_[identifier].factory = std::move(factory);
}

CollectionViewItem* CollectionViewReusePool::dequeue(const QString& identifier) {
    const auto kind = kinds_.find(identifier);
    if (kind == kinds_.end() || kind->queue.empty())
        return nullptr;
    CollectionViewItem* item = kind->queue.back();
    kind->queue.pop_back();
    return item;
}

CollectionViewItem* CollectionViewReusePool::create(const QString& identifier) const {
    const auto kind = kinds_.constFind(identifier);
    return kind != kinds_.constEnd() && kind->factory ? kind->factory() : nullptr;
}

void CollectionViewReusePool::enqueue(const QString& identifier, CollectionViewItem* item) {
    kinds_[identifier].queue.push_back(item);
}
