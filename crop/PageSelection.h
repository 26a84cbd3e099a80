#pragma once

#include "crop/RMCropInfo.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

// Selection lists, as the page range sheet makes them, and their expansion into page
// numbers. A selection list holds type entries ("+ Odd Pages") and ranges ("3 - 7"); page
// numbers are 1-based, strictly ascending and free of duplicates.
namespace PageSelection {

inline const QString kAllPages = QStringLiteral("+ All Pages");
inline const QString kOddPages = QStringLiteral("+ Odd Pages");
inline const QString kEvenPages = QStringLiteral("+ Even Pages");
inline const QString kPortraitPages = QStringLiteral("+ Portrait Pages");
inline const QString kLandscapePages = QStringLiteral("+ Landscape Pages");

// The range entry "first - last".
QString rangeEntry(qint64 first, qint64 last);
// A selection list of exactly pages (ascending), as ranges of the pages that follow one
// another.
QStringList rangesOf(const std::vector<qint64>& pages);

// The page numbers a selection list selects in a document whose pages have these records
// (one per page, in page order). An empty list selects every page. Portrait and landscape
// are judged by each record's displayed size. Range numbers outside 1 to the page count
// select nothing, so no number ever names a page that is not there.
std::vector<qint64> expand(const QStringList& selection, const std::vector<RMCropInfo>& records);

// Inserts n into the ascending list so that it stays ascending and free of duplicates.
void addPageNum(qint64 n, std::vector<qint64>& list);

// The leading whole number of text after optional blanks and a sign; 0 when there is none.
// Values beyond 32 bits are clamped to the nearest 32-bit value.
qint32 leadingInt(const QString& text);

} // namespace PageSelection
