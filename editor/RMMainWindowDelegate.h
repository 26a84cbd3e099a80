#pragma once

#include <QString>

// What a main window asks of the document it shows.
class RMMainWindowDelegate {
public:
    virtual ~RMMainWindowDelegate() = default;
    // The document's file path; empty for a document that has none.
    virtual QString currentFilePath() const = 0;
};
