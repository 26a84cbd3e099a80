#include "bench/support/ManyPagesCorpus.h"

#include "bench/support/CorpusFile.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <string>

namespace ManyPagesCorpus {

QString textDocument(int pages) {
    return CorpusFile::cached(QStringLiteral("text_%1p.pdf").arg(pages), true, [pages](QPDF& pdf) {
        const QPDFObjectHandle resources = pdf.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>"));
        std::vector<QPDFObjectHandle> result;
        for (int i = 0; i < pages; ++i) {
            std::string content = "BT /F1 11 Tf 72 720 Td 14 TL\n";
            for (int line = 0; line < 40; ++line) {
                content += "(Page " + std::to_string(i + 1) + ", line " + std::to_string(line + 1) +
                           ": the quick brown fox jumps over the lazy dog.) '\n";
            }
            content += "ET\n";
            QPDFObjectHandle page = pdf.makeIndirectObject(
                QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>"));
            page.replaceKey("/Resources", resources);
            page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content));
            result.push_back(page);
        }
        return result;
    });
}

} // namespace ManyPagesCorpus
