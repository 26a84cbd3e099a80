#pragma once

#include <QImage>
#include <QString>

#include <utility>

// What came of a render: an image, or why there is none.
struct PageRenderResult {
    static PageRenderResult success(QImage image) { return {std::move(image), {}, false}; }
    static PageRenderResult failure(QString error) { return {{}, std::move(error), false}; }
    static PageRenderResult cancellation() { return {{}, {}, true}; }

    // The page picture; null unless the render succeeded.
    QImage image;
    // Why the render failed, for the user; empty on success and on cancellation.
    QString error;
    // The caller asked for the render to stop before it finished.
    bool cancelled = false;
};
