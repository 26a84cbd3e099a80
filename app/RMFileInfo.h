#pragma once

#include <QDateTime>
#include <QString>

// One file of the recent list: its path, exactly as it was recorded, and when it was last
// recorded.
struct RMFileInfo {
    QString filePath;
    QDateTime recentUpdateTime;
};
