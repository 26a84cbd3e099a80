#include "crop/QpdfRenderCopy.h"

#include "crop/QpdfPageTree.h"
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
        // A renderer then finds exactly the pages qpdf found, lost ones as empty pages.
        std::vector<QPDFObjectHandle> pages = pdf->getAllPages();
        QpdfPageTree::flatten(*pdf, pages);
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
