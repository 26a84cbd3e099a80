#pragma once

#include "crop/PageGeometry.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <vector>

class QPDF;

// A file's pages laid out as a document's pages are, once pages were split into parts or parts
// joined into the page they came from.
//
// The document's pages come from the file's, in the file's order: a page of the file is shown
// by one page of the document, by several in a row (its parts), or by none when it was joined
// into the page before it. The first page that shows a page of the file is that page's own
// object, so outlines, links and named destinations that go to the page go to its first part;
// every further part is a new page object, a copy of the page's dictionary that refers to the
// same content and resources, so nothing is copied but a dictionary. The annotations of a page
// split go with the part holding the middle of their rectangle, or the part nearest to it, and
// those of pages joined go with the page they are joined into; a popup goes with the annotation
// it belongs to, and an annotation that names its page names its new one.
class QpdfPageLayout {
public:
    // Lays filePages out as geometry says (PageGeometry::filePage), making the new page objects
    // in pdf and moving annotations. Throws std::runtime_error when geometry does not take the
    // file's pages in order, or splits a page that has no dictionary.
    QpdfPageLayout(QPDF& pdf, const std::vector<QPDFObjectHandle>& filePages,
                   const std::vector<PageGeometry>& geometry);

    // Whether geometry shows every page of a file of filePageCount pages once, in order, as a
    // file is read: nothing to lay out.
    static bool keepsFileOrder(const std::vector<PageGeometry>& geometry, size_t filePageCount);

    // The document's pages, in order.
    const std::vector<QPDFObjectHandle>& pages() const { return pages_; }
    // Whether page i of the document is a new page object.
    bool isNew(size_t i) const { return isNew_[i]; }
    // Whether page i of the document is a new page object, or one whose annotations changed.
    bool changed(size_t i) const { return changed_[i]; }
    // Annotations, as indirect objects of the file, that now name another page.
    const std::vector<QPDFObjectHandle>& movedAnnotations() const { return movedAnnotations_; }

    // Puts the new pages into the file's page tree in place, beside the page they were split
    // from, and takes the pages joined out of it, counts corrected up to the root. Returns the
    // tree's nodes that changed. Throws std::runtime_error where the tree does not hold each
    // page of the file once, under the node it names as its parent.
    std::vector<QPDFObjectHandle> placeInTree() const;

private:
    // Gives the pages from first to end, all showing filePage, the annotations of pool.
    void shareAnnotations(size_t first, size_t end, const std::vector<QPDFObjectHandle>& pool,
                          const std::vector<PageGeometry>& geometry);

    const std::vector<QPDFObjectHandle>& filePages_;
    std::vector<QPDFObjectHandle> pages_;
    std::vector<bool> isNew_;
    std::vector<bool> changed_;
    std::vector<QPDFObjectHandle> movedAnnotations_;
    // For each page of the file, the document's pages that show it: [first, end).
    std::vector<std::pair<size_t, size_t>> shownBy_;
};
