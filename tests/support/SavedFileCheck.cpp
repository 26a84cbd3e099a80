#include "tests/support/SavedFileCheck.h"

#include "crop/QpdfLoader.h"
#include "render/MupdfRasterizer.h"

#include <QProcess>
#include <QTemporaryFile>

namespace SavedFileCheck {

namespace {

// What `qpdf --check` prints for path, and whether it found nothing wrong.
std::pair<QByteArray, bool> qpdfCheck(const QString& path, const QByteArray& password) {
    QStringList arguments{"--check", path};
    if (!password.isEmpty())
        arguments.prepend("--password=" + QString::fromUtf8(password));
    QProcess qpdf;
    qpdf.setProcessChannelMode(QProcess::MergedChannels);
    qpdf.start("qpdf", arguments);
    if (!qpdf.waitForFinished(-1))
        return {"qpdf did not run: " + qpdf.errorString().toUtf8(), false};
    const QByteArray output = qpdf.readAll();
    const bool clean = qpdf.exitStatus() == QProcess::NormalExit && qpdf.exitCode() == 0 &&
                       !output.contains("WARNING");
    return {output, clean};
}

qsizetype problemCount(const QByteArray& output) {
    return output.count("WARNING") + output.count("ERROR");
}

testing::AssertionResult mupdfDraws(const QString& path, int pageCount,
                                    const QByteArray& password) {
    QString error;
    auto data = PdfSourceData::mapFile(path, &error);
    if (!data)
        return testing::AssertionFailure() << "cannot read the file: " << error.toStdString();
    MupdfRasterizer rasterizer(PdfRenderSource{std::move(data), password});
    if (rasterizer.pageCount() != pageCount)
        return testing::AssertionFailure() << "MuPDF finds " << rasterizer.pageCount() << " pages";
    for (int page = 0; page < pageCount; ++page) {
        const PageRenderResult result =
            rasterizer.render({page, QRectF(0, 0, 100, 100), 0, QSize(8, 8), 1}, {});
        if (result.image.isNull())
            return testing::AssertionFailure()
                   << "MuPDF cannot draw page " << page << ": " << result.error.toStdString();
    }
    return testing::AssertionSuccess();
}

} // namespace

testing::AssertionResult readsCleanly(const QString& path, int pageCount,
                                      const QByteArray& password) {
    const auto [output, clean] = qpdfCheck(path, password);
    if (!clean)
        return testing::AssertionFailure() << "qpdf --check: " << output.toStdString();
    return mupdfDraws(path, pageCount, password);
}

testing::AssertionResult readsNoWorseThan(const QString& path, const QString& source,
                                          int pageCount) {
    const auto [before, sourceClean] = qpdfCheck(source, {});
    if (sourceClean)
        return readsCleanly(path, pageCount);
    const auto [after, clean] = qpdfCheck(path, {});
    if (!clean && problemCount(after) > problemCount(before))
        return testing::AssertionFailure()
               << "qpdf --check finds more than in the original: " << after.toStdString();
    const PdfOpenResult reopened = QpdfLoader().open(path);
    if (!reopened.ok() || reopened.document->pageCount() != pageCount)
        return testing::AssertionFailure() << "the saved file does not reopen with " << pageCount
                                           << " pages: " << reopened.message.toStdString();
    return testing::AssertionSuccess();
}

testing::AssertionResult bytesReadCleanly(const QByteArray& bytes, int pageCount,
                                          const QByteArray& password) {
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return testing::AssertionFailure() << "cannot write a temporary file";
    return readsCleanly(file.fileName(), pageCount, password);
}

} // namespace SavedFileCheck
