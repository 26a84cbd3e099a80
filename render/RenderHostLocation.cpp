#include "render/RenderHostLocation.h"

#include <QFileInfo>
#include <QStringList>

namespace {

QString& stored() {
    static QString path;
    return path;
}

} // namespace

QString RenderHostLocation::path() {
    return stored();
}

void RenderHostLocation::setPath(const QString& path) {
    stored() = path;
}

QString RenderHostLocation::find(const QStringList& candidates) {
    for (const QString& candidate : candidates) {
        const QFileInfo file(candidate);
        if (file.isFile() && file.isExecutable())
            return file.absoluteFilePath();
    }
    return QString();
}
