#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <string>

// Objects of a parsed file as PDF text, to be written again as they are: every indirect object
// they refer to is written as a reference. qpdf's own unparse looks up each referenced object
// to skip nulls, which on a large file means reading hundreds of content and image stream
// headers that a page written again never needs.
namespace QpdfShallowText {

// New values of a dictionary's entries as PDF text; an empty text removes the entry.
using Replacements = std::map<std::string, std::string>;

std::string unparse(QPDFObjectHandle object);

// A dictionary's entries as PDF text, with some entries replaced, added or removed; the
// dictionary itself may be an indirect object, and anything else stands for an empty one.
std::string unparseEntries(QPDFObjectHandle dictionary, const Replacements& replacements = {});

} // namespace QpdfShallowText
