#include "crop/PageSelection.h"

#include <algorithm>
#include <limits>

namespace PageSelection {

QString rangeEntry(qint64 first, qint64 last) {
    return QStringLiteral("%1 - %2").arg(first).arg(last);
}

QStringList rangesOf(const std::vector<qint64>& pages) {
    QStringList ranges;
    for (size_t first = 0; first < pages.size();) {
        size_t last = first;
        while (last + 1 < pages.size() && pages[last + 1] == pages[last] + 1)
            ++last;
        ranges << rangeEntry(pages[first], pages[last]);
        first = last + 1;
    }
    return ranges;
}

void addPageNum(qint64 n, std::vector<qint64>& list) {
    const auto at = std::lower_bound(list.begin(), list.end(), n);
    if (at == list.end() || *at != n)
        list.insert(at, n);
}

qint32 leadingInt(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    qint64 value = 0;
    constexpr qint64 limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min(limit, value * 10 + (text[i].unicode() - u'0'));
    value = negative ? -value : value;
    return static_cast<qint32>(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(),
                                                  std::numeric_limits<qint32>::max()));
}

namespace {

// Numbers are gathered unordered and sorted once at the end: the same list that inserting
// each through addPageNum gives, without its quadratic cost on big documents.
void addEvery(qint64 first, qint64 step, qint64 count, std::vector<qint64>& pages) {
    for (qint64 n = first; n <= count; n += step)
        pages.push_back(n);
}

void addByShape(const std::vector<RMCropInfo>& records, bool portrait, std::vector<qint64>& pages) {
    for (size_t i = 0; i < records.size(); ++i) {
        const QRectF& page = records[i].pageRect;
        const bool isPortrait = page.height() >= page.width();
        if (isPortrait == portrait)
            pages.push_back(static_cast<qint64>(i) + 1);
    }
}

void addRange(const QString& entry, qint64 count, std::vector<qint64>& pages) {
    const QStringList parts = entry.split(u'-');
    const qint64 a = leadingInt(parts.value(0).trimmed());
    const qint64 b = leadingInt(parts.value(1).trimmed());
    // Only the part of the range that names real pages is walked, so a huge number costs
    // nothing and nothing past the last page is selected.
    const qint64 first = std::max<qint64>(std::min(a, b), 1);
    const qint64 last = std::min(std::max(a, b), count);
    for (qint64 n = first; n <= last; ++n)
        pages.push_back(n);
}

} // namespace

std::vector<qint64> expand(const QStringList& selection, const std::vector<RMCropInfo>& records) {
    const auto count = static_cast<qint64>(records.size());
    std::vector<qint64> pages;
    if (selection.isEmpty() || selection.contains(kAllPages)) {
        addEvery(1, 1, count, pages);
        return pages;
    }
    if (selection.contains(kOddPages))
        addEvery(1, 2, count, pages);
    if (selection.contains(kEvenPages))
        addEvery(2, 2, count, pages);
    if (selection.contains(kPortraitPages))
        addByShape(records, true, pages);
    if (selection.contains(kLandscapePages))
        addByShape(records, false, pages);
    for (const QString& entry : selection) {
        if (entry.contains(u'-'))
            addRange(entry, count, pages);
    }
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

} // namespace PageSelection
