#pragma once

#include <QString>

// Opens a file with the application the desktop chooses for it.
class FileOpener {
public:
    virtual ~FileOpener() = default;
    virtual void openFile(const QString& path) = 0;
};
