#include "crop/QpdfLoader.h"

#include "crop/QpdfDocument.h"

#include "platform/NativePath.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

// How far into a file its "%PDF-" header and its "%%EOF" marker are looked for; readers
// commonly accept both within the first and the last kilobyte.
constexpr qsizetype kMarkerWindow = 1024;

PdfOpenResult failure(PdfOpenError error, const QString& message) {
    PdfOpenResult result;
    result.error = error;
    result.message = message;
    return result;
}

QString tr(const char* text) {
    return QCoreApplication::translate("QpdfLoader", text);
}

bool looksTruncated(const PdfSourceData& data) {
    const QByteArrayView bytes = data.bytes();
    return !bytes.last(std::min(bytes.size(), kMarkerWindow)).contains("%%EOF");
}

} // namespace

QpdfLoader::QpdfLoader(PageReader read, std::shared_ptr<SaveWriter> save)
    : read_(read ? std::move(read) : readPagesHere), save_(std::move(save)) {}

PdfOpenResult QpdfLoader::open(const QString& path) const {
    const QString fileName = QFileInfo(path).fileName();
    const QString name = fileName.isEmpty() ? path : fileName;
    struct stat status = {};
    if (stat(NativePath::encode(path).constData(), &status) != 0)
        return failure(PdfOpenError::NotFound, tr("The file “%1” does not exist.").arg(name));
    if (S_ISDIR(status.st_mode))
        return failure(PdfOpenError::Folder, tr("“%1” is a folder, not a PDF file.").arg(name));
    if (!S_ISREG(status.st_mode)) {
        return failure(PdfOpenError::NotRegularFile,
                       tr("“%1” is not a regular file (it is a pipe, a device or a socket), so "
                          "it holds no PDF document to open.")
                           .arg(name));
    }

    QString reason;
    auto data = PdfSourceData::mapFile(path, &reason);
    if (!data) {
        return failure(PdfOpenError::Unreadable,
                       tr("The file “%1” could not be read: %2").arg(name, reason));
    }
    return openData(std::move(data), name);
}

PdfOpenResult QpdfLoader::openBytes(QByteArray bytes, const QString& name) const {
    return openData(PdfSourceData::fromBytes(std::move(bytes)), name);
}

PdfOpenResult QpdfLoader::openData(std::shared_ptr<const PdfSourceData> data,
                                   const QString& name) const {
    if (data->size() == 0)
        return failure(PdfOpenError::Empty, tr("The file “%1” is empty.").arg(name));
    if (!data->bytes().first(std::min(data->size(), kMarkerWindow)).contains("%PDF-"))
        return failure(PdfOpenError::NotPdf, tr("The file “%1” is not a PDF document.").arg(name));

    auto unusable = [&] {
        if (looksTruncated(*data)) {
            return failure(PdfOpenError::Truncated,
                           tr("The file “%1” is incomplete: it ends before the document does. "
                              "It may not have been fully downloaded or copied.")
                               .arg(name));
        }
        return failure(PdfOpenError::Damaged,
                       tr("The file “%1” is damaged and could not be repaired.").arg(name));
    };

    PagesRead read = savedSoon_ && save_ ? save_->readPagesAndPrepare(data, QByteArray())
                                         : read_(*data, QByteArray());
    if (read.outcome == PagesRead::Outcome::OutOfMemory) {
        return failure(PdfOpenError::TooLarge,
                       tr("The file “%1” is too large to open: reading it takes more memory than "
                          "Cropmark allows itself.")
                           .arg(name));
    }
    if (read.outcome == PagesRead::Outcome::Unreadable)
        return unusable();
    const bool locked = read.outcome == PagesRead::Outcome::Locked;
    std::vector<PageGeometry>& pages = read.pages;
    if (!locked && pages.empty()) {
        // A cut-off file often still parses, but its pages were in the part that is missing.
        if (looksTruncated(*data))
            return unusable();
        return failure(PdfOpenError::NoPages, tr("The file “%1” contains no pages.").arg(name));
    }

    PdfOpenResult result;
    result.document =
        std::make_unique<QpdfDocument>(std::move(data), std::move(pages), locked, read_, save_);
    return result;
}
