#pragma once

// Which part a page is of the page it was split from: kept in the file with the boxes the page
// had before (OriginalBoxesEntry), so that the parts can be joined into that page again.
struct PagePart {
    // The page split, counted from 0 in the document as it was split.
    int page = 0;
    // The part's place in reading order, from 0, and how many parts the page was split into.
    int index = 0;
    int count = 1;

    // The largest number of parts a page is split into.
    static constexpr int kMostParts = 8;

    bool operator==(const PagePart&) const = default;
    // Whether the numbers can be those of a part: a page the file does not describe otherwise.
    bool isValid() const {
        return page >= 0 && count >= 2 && count <= kMostParts && index >= 0 && index < count;
    }
};
