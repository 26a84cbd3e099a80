#pragma once

#include <QString>
#include <QVariant>

// One posted notification: its name, the object that posted it (compared by address only,
// never dereferenced by the center) and an optional value.
struct Notification {
    QString name;
    const void* sender = nullptr;
    QVariant object;
};
