#pragma once

#include <QtGlobal>

// What a save that removes what lies outside each page's crop box took from one page.
struct RemovedOutside {
    // The page, counted from 0.
    int page = 0;
    // Glyphs wholly outside the crop box, whose text can no longer be extracted.
    int glyphs = 0;
    // Images dropped, or cut down to the part that shows.
    int images = 0;
    // Paths and shadings dropped.
    int paths = 0;
    // Annotations and links dropped.
    int annotations = 0;
    // How many fewer bytes the page's content streams and images take; an image several pages
    // show counts on each.
    qint64 bytes = 0;
};
