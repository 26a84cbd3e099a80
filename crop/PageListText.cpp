#include "crop/PageListText.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// More runs than this and the list no longer reads at a glance in a menu.
constexpr qsizetype kMostRuns = 3;

QString tr(const char* text) {
    return QCoreApplication::translate("PageListText", text);
}

} // namespace

namespace PageListText {

QString describe(const std::vector<qint64>& pages) {
    if (pages.size() == 1)
        return tr("Page %1").arg(pages.front());
    QStringList runs;
    for (size_t i = 0; i < pages.size();) {
        size_t last = i;
        while (last + 1 < pages.size() && pages[last + 1] == pages[last] + 1)
            ++last;
        runs << (last == i ? QString::number(pages[i])
                           : QStringLiteral("%1–%2").arg(pages[i]).arg(pages[last]));
        i = last + 1;
    }
    if (runs.size() > kMostRuns)
        return tr("%1 Pages").arg(pages.size());
    return tr("Pages %1").arg(runs.join(QStringLiteral(", ")));
}

} // namespace PageListText
