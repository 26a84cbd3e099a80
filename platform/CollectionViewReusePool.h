#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

class CollectionViewItem;

// The items a collection view keeps for reuse, and the factories that make new ones, by reuse
// identifier. It does not own the items: the collection view is their QObject parent.
//
// Owned by its collection view; GUI thread.
class CollectionViewReusePool {
public:
    using Factory = std::function<CollectionViewItem*()>;

    void registerFactory(const QString& identifier, Factory factory);
    // The item queued last under identifier, or null when none is queued.
    CollectionViewItem* dequeue(const QString& identifier);
    // A new item from identifier's factory, or null when none is registered.
    CollectionViewItem* create(const QString& identifier) const;
    void enqueue(const QString& identifier, CollectionViewItem* item);

private:
    struct Kind {
        Factory factory;
        std::vector<CollectionViewItem*> queue;
    };
    QHash<QString, Kind> kinds_;
};
