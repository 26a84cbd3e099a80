#pragma once

#include <QString>

// Told when the user deletes a row of the recent-files list.
class RMRecentOpenCellDelegate {
public:
    virtual void recentFileDidDeleteWithFilePath(const QString& path) = 0;

protected:
    virtual ~RMRecentOpenCellDelegate() = default;
};
