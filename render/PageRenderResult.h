#pragma once

#include <QImage>
#include <QString>

#include <utility>

// What came of a render: an image, or why there is none.
struct PageRenderResult {
    // A picture of a page the renderer could read only in part (its content has errors, so
    // parts of it may be missing or blank) carries what went wrong as the image's text under
    // this key; copies of the picture keep it.
    static constexpr const char* kPartlyReadKey = "Cropmark partly read";

    static PageRenderResult success(QImage image) { return {std::move(image), {}, false, false}; }
    static PageRenderResult failure(QString error) { return {{}, std::move(error), false, false}; }
    // The renderer was lost while drawing: it stopped, or was stopped for taking too long.
    static PageRenderResult lostRenderer(QString error) {
        return {{}, std::move(error), false, true};
    }
    static PageRenderResult cancellation() { return {{}, {}, true, false}; }

    // The page picture; null unless the render succeeded.
    QImage image;
    // Why the render failed, for the user; empty on success and on cancellation.
    QString error;
    // The caller asked for the render to stop before it finished.
    bool cancelled = false;
    // The failure may not be the page's: a renderer that crashed or froze once, on a busy
    // machine or for want of memory, may draw the page when asked again.
    bool rendererLost = false;
};
