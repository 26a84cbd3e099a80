#pragma once

#include <QStringList>

// The page selection a document's batch crops start from, as the Page Range page of the
// settings sets it and in its form (PageSelection): all pages at first. Kept in the program's
// settings; the Page Range sheet still changes a window's own selection.
namespace PageRangeSettings {

QStringList startingSelection();
void setStartingSelection(const QStringList& selection);

} // namespace PageRangeSettings
