#include "range/PageRangeSettings.h"

#include <QSettings>

namespace PageRangeSettings {

namespace {

const QString kKey = QStringLiteral("pageRange/startingSelection");

} // namespace

QStringList startingSelection() {
    return QSettings().value(kKey).toStringList();
}

void setStartingSelection(const QStringList& selection) {
    QSettings().setValue(kKey, selection);
}

} // namespace PageRangeSettings
