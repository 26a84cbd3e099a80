#include "render/RepairingPdfLoader.h"

#include "crop/QpdfLoader.h"
#include "render/ContainedReading.h"
#include "render/MupdfRepair.h"
#include "render/RenderHostLocation.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

bool mayBeRepaired(PdfOpenError error) {
    return error == PdfOpenError::NotPdf || error == PdfOpenError::Truncated ||
           error == PdfOpenError::Damaged || error == PdfOpenError::NoPages;
}

} // namespace

PdfOpenResult RepairingPdfLoader::open(const QString& path) const {
    // In a render host when there is one, so a file that crashes the libraries fails to open
    // and takes nothing else with it.
    const QString host = RenderHostLocation::path();
    PageReader read;
    SaveWriter save;
    if (!host.isEmpty()) {
        read = [host](const PdfSourceData& data, const QByteArray& password) {
            return ContainedReading::readPages(data, password, host);
        };
        save = [host](const SaveJob& job, int outputFd, const std::function<void()>& pageWritten) {
            return ContainedReading::save(job, outputFd, pageWritten, host);
        };
    }
    const QpdfLoader loader(read, save);
    PdfOpenResult result = loader.open(path);
    if (result.ok() || !mayBeRepaired(result.error))
        return result;
    QString reason;
    const auto data = PdfSourceData::mapFile(path, &reason);
    std::optional<QByteArray> repaired;
    if (data) {
        repaired = host.isEmpty() ? MupdfRepair::repairedCopy(data->bytes())
                                  : ContainedReading::repair(*data, host);
    }
    if (!repaired)
        return result;
    const QString name = QFileInfo(path).fileName();
    PdfOpenResult opened = loader.openBytes(*repaired, name);
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
