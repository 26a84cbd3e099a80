#include "range/OutputSettings.h"

#include "crop/CroppedFileName.h"

#include <QSettings>

namespace OutputSettings {

namespace {

const QString kOpensKey = QStringLiteral("output/opensSavedFile");
const QString kCroppedNameKey = QStringLiteral("output/proposesCroppedName");
const QString kOriginalsKey = QStringLiteral("output/keepsOriginalBoxes");
const QString kRemovesOutsideKey = QStringLiteral("output/removesOutside");

} // namespace

bool opensSavedFile() {
    return QSettings().value(kOpensKey, true).toBool();
}

void setOpensSavedFile(bool on) {
    QSettings().setValue(kOpensKey, on);
}

bool proposesCroppedName() {
    return QSettings().value(kCroppedNameKey, false).toBool();
}

void setProposesCroppedName(bool on) {
    QSettings().setValue(kCroppedNameKey, on);
}

QString proposedPath(const QString& path) {
    return proposesCroppedName() && !path.isEmpty() ? CroppedFileName::of(path) : path;
}

bool keepsOriginalBoxes() {
    return QSettings().value(kOriginalsKey, true).toBool();
}

void setKeepsOriginalBoxes(bool on) {
    QSettings().setValue(kOriginalsKey, on);
}

bool removesOutside() {
    return QSettings().value(kRemovesOutsideKey, false).toBool();
}

void setRemovesOutside(bool on) {
    QSettings().setValue(kRemovesOutsideKey, on);
}

} // namespace OutputSettings
