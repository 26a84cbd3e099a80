#include "cli/PageSelectionArgument.h"

#include "crop/PageSelection.h"

#include <QRegularExpression>

#include <limits>

namespace PageSelectionArgument {

namespace {

std::optional<qint64> pageNumber(const QString& text) {
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok || n < 1 || n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return n;
}

std::optional<QString> entry(const QString& item) {
    static const QList<std::pair<QString, QString>> words = {
        {QStringLiteral("all"), PageSelection::kAllPages},
        {QStringLiteral("odd"), PageSelection::kOddPages},
        {QStringLiteral("even"), PageSelection::kEvenPages},
        {QStringLiteral("portrait"), PageSelection::kPortraitPages},
        {QStringLiteral("landscape"), PageSelection::kLandscapePages},
    };
    for (const auto& [word, selectionEntry] : words) {
        if (item.compare(word, Qt::CaseInsensitive) == 0)
            return selectionEntry;
    }
    static const QRegularExpression range(QStringLiteral(R"(^(\d+)(?:\s*-\s*(\d+))?$)"));
    const auto match = range.match(item);
    if (!match.hasMatch())
        return std::nullopt;
    const auto first = pageNumber(match.captured(1));
    const auto last = match.hasCaptured(2) ? pageNumber(match.captured(2)) : first;
    if (!first || !last || *last < *first)
        return std::nullopt;
    return PageSelection::rangeEntry(*first, *last);
}

} // namespace

std::optional<QStringList> parse(const QString& text) {
    QStringList selection;
    for (const QString& item : text.split(u',')) {
        const auto found = entry(item.trimmed());
        if (!found)
            return std::nullopt;
        selection << *found;
    }
    return selection;
}

} // namespace PageSelectionArgument
