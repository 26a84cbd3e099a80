#include "platform/NotificationCenter.h"

#include <algorithm>

struct NotificationCenter::Observer {
    QObject* owner = nullptr;
    QString name;
    const void* sender = nullptr;
    Handler handler;
    // Held while the handler runs; a removal takes it too, so that it waits for a handler
    // running on another thread. Recursive, because a handler may remove its own observer.
    std::recursive_mutex running;
    bool alive = true;
};

NotificationCenter::~NotificationCenter() {
    for (const auto& connection : ownerConnections_)
        QObject::disconnect(connection);
}

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(QObject* owner, const QString& name, Handler handler,
                                     const void* sender) {
    if (!owner || !handler)
        return;
    auto observer = std::make_shared<Observer>();
    observer->owner = owner;
    observer->name = name;
    observer->sender = sender;
    observer->handler = std::move(handler);
    bool firstForOwner = false;
    {
        std::lock_guard lock(mutex_);
        firstForOwner = std::none_of(observers_.begin(), observers_.end(),
                                     [owner](const auto& o) { return o->owner == owner; });
        observers_.push_back(std::move(observer));
    }
    if (firstForOwner) {
        auto connection = QObject::connect(owner, &QObject::destroyed,
                                           [this, owner] { removeMatching(owner, nullptr); });
        std::lock_guard lock(mutex_);
        ownerConnections_.push_back(connection);
    }
}

void NotificationCenter::removeObserver(QObject* owner) {
    removeMatching(owner, nullptr);
}

void NotificationCenter::removeObserver(QObject* owner, const QString& name) {
    removeMatching(owner, &name);
}

void NotificationCenter::removeMatching(QObject* owner, const QString* name) {
    std::vector<std::shared_ptr<Observer>> removed;
    {
        std::lock_guard lock(mutex_);
        auto matches = [&](const std::shared_ptr<Observer>& o) {
            return o->owner == owner && (!name || o->name == *name);
        };
        std::copy_if(observers_.begin(), observers_.end(), std::back_inserter(removed), matches);
        std::erase_if(observers_, matches);
    }
    for (const auto& observer : removed) {
        std::lock_guard running(observer->running);
        observer->alive = false;
    }
}

void NotificationCenter::post(const QString& name, const void* sender, const QVariant& object) {
    std::vector<std::shared_ptr<Observer>> targets;
    {
        std::lock_guard lock(mutex_);
        for (const auto& o : observers_) {
            if (o->name == name && (!o->sender || o->sender == sender))
                targets.push_back(o);
        }
    }
    const Notification notification{name, sender, object};
    for (const auto& observer : targets) {
        std::lock_guard running(observer->running);
        if (observer->alive)
            observer->handler(notification);
    }
}
