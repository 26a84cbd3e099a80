#include "tests/cli/CropmarkProcess.h"

#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QProcess>

#include <functional>

CropmarkRun runCropmark(const QStringList& arguments, const QString& folder) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(CROPMARK_EXECUTABLE), arguments);
    CropmarkRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "cropmark did not end: " << arguments.join(' ').toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

namespace {

std::vector<QRectF> boxes(const QString& path, const QString& password,
                          const std::function<QPDFObjectHandle(QPDFPageObjectHelper&)>& box) {
    QPDF pdf;
    pdf.processFile(path.toLocal8Bit().constData(), password.toUtf8().constData());
    std::vector<QRectF> found;
    for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        const auto r = box(page).getArrayAsRectangle();
        found.push_back(QRectF(r.llx, r.lly, r.urx - r.llx, r.ury - r.lly));
    }
    return found;
}

} // namespace

std::vector<QRectF> cropBoxes(const QString& path, const QString& password) {
    return boxes(path, password, [](QPDFPageObjectHelper& page) { return page.getCropBox(); });
}

std::vector<QRectF> writtenBoxes(const QString& path, const char* key, const QString& password) {
    return boxes(path, password,
                 [key](QPDFPageObjectHelper& page) { return page.getObjectHandle().getKey(key); });
}

bool isEncrypted(const QString& path, const QString& password) {
    QPDF pdf;
    pdf.processFile(path.toLocal8Bit().constData(), password.toUtf8().constData());
    return pdf.isEncrypted();
}
