#include "crop/QpdfRenderCopy.h"

#include "crop/QpdfParser.h"

#include <vector>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

namespace QpdfRenderCopy {

std::optional<PdfRenderSource> of(const PdfRenderSource& source) {
    if (!source.data)
        return std::nullopt;
    try {
        std::unique_ptr<QPDF> pdf = QpdfParser::parse(*source.data, source.password);
        // The page tree is written as one level with the right count: a renderer that trusts
        // a wrong /Count, or trips over a damaged tree, then finds exactly the pages qpdf
        // found. Inherited attributes move onto the pages first, so none is lost.
        pdf->pushInheritedAttributesToPage();
        const std::vector<QPDFObjectHandle> pages = pdf->getAllPages();
        QPDFObjectHandle tree = pdf->getRoot().getKey("/Pages");
        tree.replaceKey("/Kids", QPDFObjectHandle::newArray(pages));
        tree.replaceKey("/Count", QPDFObjectHandle::newInteger(qint64(pages.size())));
        for (QPDFObjectHandle page : pages)
            page.replaceKey("/Parent", tree);
        QPDFWriter writer(*pdf);
        writer.setOutputMemory();
        // Drawing needs no protection, and a renderer that failed on the original may fail
        // on its encryption too.
        writer.setPreserveEncryption(false);
        writer.write();
        std::unique_ptr<Buffer> buffer(writer.getBuffer());
        QByteArray bytes(reinterpret_cast<const char*>(buffer->getBuffer()),
                         qsizetype(buffer->getSize()));
        return PdfRenderSource{PdfSourceData::fromBytes(std::move(bytes)), QByteArray()};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace QpdfRenderCopy
