#pragma once

#include <gtest/gtest.h>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QProcess>
#include <QRectF>
#include <QStringList>

#include <vector>

struct CropmarkRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs program with arguments in folder as a user runs it from a shell, but with no display at
// all, so that anything that needed a window system would fail; and waits for it, failing the
// test when it does not end within two minutes.
inline CropmarkRun runProgram(const QString& program, const QStringList& arguments,
                              const QString& folder) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    CropmarkRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString()
                      << " did not end: " << arguments.join(' ').toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// The built `cropmark arguments...`, as runProgram runs it.
inline CropmarkRun runCropmark(const QStringList& arguments, const QString& folder) {
    return runProgram(QStringLiteral(CROPMARK_EXECUTABLE), arguments, folder);
}

// The box under key ("/CropBox", "/MediaBox", ...) as written on every page of the file at
// path; with no key, the crop box as readers take it: the media box when there is none.
inline std::vector<QRectF> writtenBoxes(const QString& path, const char* key,
                                        const QString& password = {}) {
    QPDF pdf;
    pdf.processFile(path.toLocal8Bit().constData(), password.toUtf8().constData());
    std::vector<QRectF> found;
    for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
        const auto r =
            (key ? page.getObjectHandle().getKey(key) : page.getCropBox()).getArrayAsRectangle();
        found.push_back(QRectF(r.llx, r.lly, r.urx - r.llx, r.ury - r.lly));
    }
    return found;
}

inline bool isEncrypted(const QString& path, const QString& password = {}) {
    QPDF pdf;
    pdf.processFile(path.toLocal8Bit().constData(), password.toUtf8().constData());
    return pdf.isEncrypted();
}
