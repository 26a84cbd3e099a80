#include "render/RepairingPdfLoader.h"

#include "crop/QpdfLoader.h"
#include "render/RenderWorkplace.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

bool mayBeRepaired(PdfOpenError error) {
    return error == PdfOpenError::NotPdf || error == PdfOpenError::Truncated ||
           error == PdfOpenError::Damaged || error == PdfOpenError::NoPages;
}

} // namespace

PdfOpenResult RepairingPdfLoader::open(const QString& path) const {
    QpdfLoader loader = workplace_.loader();
    loader.setSavedSoon(savedSoon_);
    PdfOpenResult result = loader.open(path);
    if (result.ok() || !mayBeRepaired(result.error))
        return result;
    QString reason;
    const auto data = PdfSourceData::mapFile(path, &reason);
    const auto repaired = data ? workplace_.repair(*data) : nullptr;
    if (!repaired)
        return result;
    const QString name = QFileInfo(path).fileName();
    PdfOpenResult opened = loader.openData(repaired, name);
    if (!opened.ok())
        return result;
    opened.notice = QCoreApplication::translate(
                        "RepairingPdfLoader",
                        "“%1” is damaged, and Cropmark repaired it to open it. Saving writes the "
                        "repaired document to the file you choose; the damaged file stays as it "
                        "is unless you save over it.")
                        .arg(name);
    return opened;
}
