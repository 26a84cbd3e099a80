#pragma once

#include <QString>

// Where the render host executable is, as the program found it at start-up. Empty when there
// is none: pages are then drawn inside the program.
//
// Set once, before any rendering starts; read from any thread afterwards.
class RenderHostLocation {
public:
    RenderHostLocation() = delete;

    static QString path();
    static void setPath(const QString& path);
    // The first of candidates that is an executable file, or empty.
    static QString find(const QStringList& candidates);
};
