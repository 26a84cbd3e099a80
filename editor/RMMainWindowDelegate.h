#pragma once

#include <QString>

// What a main window asks of the document it shows.
class RMMainWindowDelegate {
public:
    virtual ~RMMainWindowDelegate() = default;
    // The document's file: "file://" and its absolute path, or the path alone; empty for a
    // document that has none. The path is never percent-encoded.
    virtual QString currentFilePath() const = 0;

    // The file's local path: nothing is decoded, so "100%.pdf" is the file's real name.
    QString localFilePath() const {
        const QString location = currentFilePath();
        const QString scheme = QStringLiteral("file://");
        return location.startsWith(scheme) ? location.mid(scheme.size()) : location;
    }
};
