#include "bench/support/LargeImageCorpus.h"

#include "tests/support/LargePdfFile.h"

#include <QDir>
#include <QFileInfo>

namespace LargeImageCorpus {

QString imageDocument(int gigabytes) {
    const QString folder = QDir::temp().filePath("cropmark-bench");
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("image_%1GB.pdf").arg(gigabytes));
    if (QFileInfo::exists(path))
        return path;
    // Written beside the final path, then renamed, so an interrupted run leaves no broken file.
    const QString partial = path + ".part";
    LargePdfFile::write(
        partial, {.imageBytes = qint64(gigabytes) << 30, .pageDrawsImage = true, .sparse = false});
    QDir().rename(partial, path);
    return path;
}

} // namespace LargeImageCorpus
