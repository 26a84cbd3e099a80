#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <vector>

// Writing a damaged document's page tree afresh.
namespace QpdfPageTree {

// Makes pages, in their order, the only kids of pdf's page tree root, with the right count and
// each page's parent the root; attributes the pages inherited move onto them first, so none is
// lost. Readers that trust a wrong /Count, or trip over a looping or broken tree, then find
// exactly these pages. Each page is given the media box, crop box and rotation it was read
// with (QpdfPageReader): in a broken tree, what a page inherits down the tree's nodes may
// differ from what its own /Parent chain, which pages are read by, gives it. A page whose
// object is not a dictionary becomes an empty page of the size it was read with, so the page
// keeps its place.
void flatten(QPDF& pdf, std::vector<QPDFObjectHandle>& pages);

} // namespace QpdfPageTree
