#pragma once

#include <QString>

// What a main window asks of the document it shows.
class RMMainWindowDelegate {
public:
    virtual ~RMMainWindowDelegate() = default;
    // The document's file: "file://" and its absolute path, or the path alone; empty for a
    // document that has none. The path is never percent-encoded.
    virtual QString currentFilePath() const = 0;
};
