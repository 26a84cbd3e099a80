// Selection lists as text: the first line gives the page count and, repeated over the pages,
// their shapes ("12 PLLP": twelve pages, portrait, landscape, landscape, portrait, ...); every
// further line is one entry of the list. Whatever the entries, the expansion names only pages
// that are there, ascending and once each, and every page a range covers.

#include "crop/PageSelection.h"
#include "fuzz/FuzzRequire.h"

#include <algorithm>
#include <cstdint>

namespace {

// Big enough for the loops over pages to matter, small enough for many runs a second.
constexpr qint64 kMaxPages = 2000;

std::vector<RMCropInfo> pages(const QString& header) {
    const qint64 count = std::clamp<qint64>(PageSelection::leadingInt(header), 0, kMaxPages);
    const QString shapes = header.section(u' ', 1, 1);
    std::vector<RMCropInfo> records(static_cast<size_t>(count));
    for (size_t i = 0; i < records.size() && !shapes.isEmpty(); ++i) {
        const bool landscape = shapes[qsizetype(i % size_t(shapes.size()))] == u'L';
        records[i].pageRect = landscape ? QRectF(0, 0, 792, 612) : QRectF(0, 0, 612, 792);
    }
    return records;
}

bool selected(const std::vector<qint64>& list, qint64 page) {
    return std::binary_search(list.begin(), list.end(), page);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList selection = text.split(u'\n');
    const std::vector<RMCropInfo> records = pages(selection.takeFirst());
    const auto count = static_cast<qint64>(records.size());

    const std::vector<qint64> expanded = PageSelection::expand(selection, records);
    FUZZ_REQUIRE(std::adjacent_find(expanded.begin(), expanded.end(), std::greater_equal<>()) ==
                 expanded.end());
    FUZZ_REQUIRE(expanded.empty() || (expanded.front() >= 1 && expanded.back() <= count));
    if (selection.isEmpty() || selection.contains(PageSelection::kAllPages))
        FUZZ_REQUIRE(expanded.size() == records.size());

    for (const QString& entry : selection) {
        // A range written as the sheet writes it selects every page it covers.
        const QStringList ends = entry.split(QStringLiteral(" - "));
        if (ends.size() != 2 || ends[0].contains(u'-') || ends[1].contains(u'-'))
            continue;
        const qint64 a = PageSelection::leadingInt(ends[0]);
        const qint64 b = PageSelection::leadingInt(ends[1]);
        for (qint64 n = std::max<qint64>(std::min(a, b), 1); n <= std::min(std::max(a, b), count);
             ++n)
            FUZZ_REQUIRE(selected(expanded, n));
    }
    return 0;
}
