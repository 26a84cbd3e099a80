#include "bench/support/ManyPagesCorpus.h"

#include "bench/support/CorpusFile.h"

#include <qpdf/Pl_Flate.hh>
#include <qpdf/Pl_String.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <string>

namespace ManyPagesCorpus {

namespace {

QPDFObjectHandle flateStream(QPDF& pdf, const std::string& data) {
    std::string compressed;
    Pl_String sink("compressed", nullptr, compressed);
    Pl_Flate flate("flate", &sink, Pl_Flate::a_deflate);
    flate.write(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    flate.finish();
    QPDFObjectHandle stream = QPDFObjectHandle::newStream(&pdf);
    stream.replaceStreamData(compressed, QPDFObjectHandle::newName("/FlateDecode"),
                             QPDFObjectHandle::newNull());
    return stream;
}

// Resources of one page only, with a font dictionary of its own, as producers that write
// each page on its own repeat them for every page.
QPDFObjectHandle pageResources(QPDF& pdf) {
    QPDFObjectHandle font = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
    QPDFObjectHandle resources =
        pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Font << >> /ProcSet [/PDF /Text] >>"));
    resources.getKey("/Font").replaceKey("/F1", font);
    return resources;
}

// A running head and a body of 40 lines, each in a compressed stream of its own.
QPDFObjectHandle pageContents(QPDF& pdf, int page) {
    const std::string number = std::to_string(page + 1);
    std::string body = "BT /F1 11 Tf 72 700 Td 14 TL\n";
    for (int line = 0; line < 40; ++line) {
        body += "(Page " + number + ", line " + std::to_string(line + 1) +
                ": the quick brown fox jumps over the lazy dog.) '\n";
    }
    body += "ET\n";
    QPDFObjectHandle contents = QPDFObjectHandle::newArray();
    contents.appendItem(flateStream(pdf, "BT /F1 9 Tf 72 750 Td (Page " + number + ") Tj ET\n"));
    contents.appendItem(flateStream(pdf, body));
    return contents;
}

} // namespace

QString textDocument(int pages) {
    return CorpusFile::cached(
        QStringLiteral("text_page_resources_%1p.pdf").arg(pages), true, [pages](QPDF& pdf) {
            std::vector<QPDFObjectHandle> result;
            for (int i = 0; i < pages; ++i) {
                QPDFObjectHandle page = pdf.makeIndirectObject(
                    QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>"));
                page.replaceKey("/Resources", pageResources(pdf));
                page.replaceKey("/Contents", pageContents(pdf, i));
                result.push_back(page);
            }
            return result;
        });
}

} // namespace ManyPagesCorpus
