#pragma once

#include "platform/FileOpener.h"

// Opens files through the desktop's own services (its default application for the type).
class DesktopFileOpener final : public FileOpener {
public:
    void openFile(const QString& path) override;
};
