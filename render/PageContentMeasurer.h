#pragma once

#include <QRectF>

#include <optional>
#include <stop_token>

// How the content of a page is found.
struct ContentBoundsOptions {
    enum class Mode {
        // What the page draws, as the drawing instructions say: text, paths, images and the
        // annotations that print.
        Drawn,
        // The ink on a small picture of the page: for scans, whose one image covers the page.
        Ink,
        // Drawn, unless that covers nearly the whole page (a scan, or a painted background);
        // then Ink.
        Automatic,
    };
    Mode mode = Mode::Automatic;
    // Ink: a pixel at most this light (0 black to 255 white) is ink.
    int inkThreshold = 224;
    // Ink: spots of fewer ink pixels than this, on the small picture, are dust and noise.
    int minimumSpotPixels = 6;
    // Where content is looked for, in page space, in place of the page's media box: a part of
    // the page shown alone, as by a page split from it; an empty rectangle for the media box.
    // What crosses its edges counts as far as it reaches into it.
    QRectF within = {};

    bool operator==(const ContentBoundsOptions&) const = default;
};

// Finds where a page's content is.
//
// Thread: as the implementation's other interfaces; one thread at a time.
class PageContentMeasurer {
public:
    // How many measurers, each on a thread of its own, share the pages of a batch: measuring
    // a scan takes a core, which most machines have two of, and each measurer holds the
    // document once more.
    static constexpr int kForBatch = 2;

    virtual ~PageContentMeasurer() = default;

    // The bounds of the content of page pageIndex in PDF page space (points, origin lower-left,
    // y up, before rotation), within its media box or options.within; nothing for a page with no
    // content, or one that cannot be read, or when stop is requested before the answer is in (a
    // measurement nobody wants any more ends at once rather than at a time limit).
    virtual std::optional<QRectF> contentBounds(int pageIndex, const ContentBoundsOptions& options,
                                                std::stop_token stop) = 0;
    std::optional<QRectF> contentBounds(int pageIndex, const ContentBoundsOptions& options) {
        return contentBounds(pageIndex, options, {});
    }
};
