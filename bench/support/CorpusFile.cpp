#include "bench/support/CorpusFile.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <QDir>
#include <QFileInfo>

namespace CorpusFile {

QString cached(const QString& name, bool objectStreams,
               const std::function<std::vector<QPDFObjectHandle>(QPDF&)>& make) {
    const QString folder = QDir::temp().filePath("cropmark-bench");
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name);
    if (QFileInfo::exists(path))
        return path;

    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
    QPDFObjectHandle kids = QPDFObjectHandle::newArray();
    for (QPDFObjectHandle page : make(pdf)) {
        page.replaceKey("/Parent", root);
        kids.appendItem(page);
    }
    root.replaceKey("/Count", QPDFObjectHandle::newInteger(kids.getArrayNItems()));
    root.replaceKey("/Kids", kids);

    const QString partial = path + ".part";
    QPDFWriter writer(pdf, partial.toStdString().c_str());
    writer.setStreamDataMode(qpdf_s_preserve);
    if (objectStreams)
        writer.setObjectStreamMode(qpdf_o_generate);
    writer.write();
    QDir().rename(partial, path);
    return path;
}

} // namespace CorpusFile
