#pragma once

#include "platform/Notification.h"

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Name-keyed notifications between parts of the program that do not know each other.
//
// Posting is synchronous: every matching handler runs on the posting thread before post()
// returns, so a handler that touches widgets must hand its work to the GUI thread itself.
// An observer is tied to an owner QObject and disappears when the owner is destroyed; a
// removal waits for a handler of that owner that is running on another thread, so a handler
// never runs after its owner is gone. Handlers must therefore not block on the owner's thread.
//
// Thread-safe: observers may be added and removed, and notifications posted, from any thread.
class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // Calls handler for every notification called name, whoever posts it. When sender is
    // given, only notifications posted by that sender are delivered.
    void addObserver(QObject* owner, const QString& name, Handler handler,
                     const void* sender = nullptr);
    void removeObserver(QObject* owner);
    void removeObserver(QObject* owner, const QString& name);

    void post(const QString& name, const void* sender = nullptr, const QVariant& object = {});

private:
    struct Observer;
    void removeMatching(QObject* owner, const QString* name);

    std::mutex mutex_;
    std::vector<std::shared_ptr<Observer>> observers_;
    std::vector<QMetaObject::Connection> ownerConnections_;
};
