#include "tests/support/SavedFileCheck.h"

#include "render/MupdfRasterizer.h"

#include <QProcess>
#include <QTemporaryFile>

namespace SavedFileCheck {

namespace {

testing::AssertionResult qpdfChecks(const QString& path, const QByteArray& password) {
    QStringList arguments{"--check", path};
    if (!password.isEmpty())
        arguments.prepend("--password=" + QString::fromUtf8(password));
    QProcess qpdf;
    qpdf.setProcessChannelMode(QProcess::MergedChannels);
    qpdf.start("qpdf", arguments);
    if (!qpdf.waitForFinished(-1))
        return testing::AssertionFailure()
               << "qpdf did not run: " << qpdf.errorString().toStdString();
    const QByteArray output = qpdf.readAll();
    if (qpdf.exitStatus() != QProcess::NormalExit || qpdf.exitCode() != 0 ||
        output.contains("WARNING"))
        return testing::AssertionFailure() << "qpdf --check: " << output.toStdString();
    return testing::AssertionSuccess();
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
    testing::AssertionResult qpdf = qpdfChecks(path, password);
    return qpdf ? mupdfDraws(path, pageCount, password) : qpdf;
}

testing::AssertionResult bytesReadCleanly(const QByteArray& bytes, int pageCount,
                                          const QByteArray& password) {
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return testing::AssertionFailure() << "cannot write a temporary file";
    return readsCleanly(file.fileName(), pageCount, password);
}

} // namespace SavedFileCheck
