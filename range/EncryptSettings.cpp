#include "range/EncryptSettings.h"

#include <QSettings>

namespace EncryptSettings {

namespace {

const QString kKey = QStringLiteral("encrypt/removesPassword");

} // namespace

bool removesPassword() {
    return QSettings().value(kKey, false).toBool();
}

void setRemovesPassword(bool on) {
    QSettings().setValue(kKey, on);
}

} // namespace EncryptSettings
