#include "platform/DesktopFileOpener.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopFileOpener::openFile(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
