#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The page selection of the command line: words and ranges separated by commas, selecting
// their union, as the page range sheet's selection list does. Words are `all`, `odd`, `even`,
// `portrait` and `landscape` (in any case); ranges are `N` and `N-M`, page numbers from 1.
namespace PageSelectionArgument {

// The selection list (PageSelection's entries) that text stands for; nothing when text is
// not a selection: an empty item, an unknown word, a number below 1 or beyond 32 bits, or a
// range that runs backwards.
std::optional<QStringList> parse(const QString& text);

} // namespace PageSelectionArgument
