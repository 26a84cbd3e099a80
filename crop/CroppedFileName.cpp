#include "crop/CroppedFileName.h"

#include <QDir>
#include <QFileInfo>

namespace CroppedFileName {

QString of(const QString& path) {
    const QFileInfo file(path);
    QString name = file.fileName();
    const QString suffix = QStringLiteral(".pdf");
    if (name.endsWith(suffix, Qt::CaseInsensitive))
        name.insert(name.size() - suffix.size(), QStringLiteral("-cropped"));
    else
        name += QStringLiteral("-cropped.pdf");
    return file.dir().filePath(name);
}

} // namespace CroppedFileName
