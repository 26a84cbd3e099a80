#include "bench/support/ManyPagesCorpus.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <QDir>
#include <QFileInfo>

#include <string>

namespace ManyPagesCorpus {

QString textDocument(int pages) {
    const QString folder = QDir::temp().filePath("cropmark-bench");
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("text_%1p.pdf").arg(pages));
    if (QFileInfo::exists(path))
        return path;

    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
    QPDFObjectHandle kids = QPDFObjectHandle::newArray();
    const QPDFObjectHandle resources = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>"));
    for (int i = 0; i < pages; ++i) {
        std::string content = "BT /F1 11 Tf 72 720 Td 14 TL\n";
        for (int line = 0; line < 40; ++line)
            content += "(Page " + std::to_string(i + 1) + ", line " + std::to_string(line + 1) +
                       ": the quick brown fox jumps over the lazy dog.) '\n";
        content += "ET\n";
        QPDFObjectHandle page = pdf.makeIndirectObject(
            QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>"));
        page.replaceKey("/Parent", root);
        page.replaceKey("/Resources", resources);
        page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content));
        kids.appendItem(page);
    }
    root.replaceKey("/Kids", kids);
    root.replaceKey("/Count", QPDFObjectHandle::newInteger(pages));

    const QString partial = path + ".part";
    QPDFWriter writer(pdf, partial.toStdString().c_str());
    writer.setObjectStreamMode(qpdf_o_generate);
    writer.write();
    QDir().rename(partial, path);
    return path;
}

} // namespace ManyPagesCorpus
