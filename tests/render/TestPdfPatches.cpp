#include "tests/render/TestPdfPatches.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <functional>
#include <string>

namespace {

QByteArray patchPage(const QByteArray& bytes, int pageIndex,
                     const std::function<void(QPDF&, QPDFObjectHandle)>& patch) {
    QPDF pdf;
    pdf.processMemoryFile("patched.pdf", bytes.constData(), static_cast<size_t>(bytes.size()));
    patch(pdf, pdf.getAllPages().at(static_cast<size_t>(pageIndex)));
    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setStaticID(true);
    writer.write();
    const auto buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()),
                      static_cast<qsizetype>(buffer->getSize()));
}

QPDFObjectHandle rectangle(double x0, double y0, double x1, double y1) {
    return QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
        QPDFObjectHandle::newReal(x0, 4), QPDFObjectHandle::newReal(y0, 4),
        QPDFObjectHandle::newReal(x1, 4), QPDFObjectHandle::newReal(y1, 4)});
}

} // namespace

QByteArray withTransparencyGroup(const QByteArray& pdf, int pageIndex) {
    return patchPage(pdf, pageIndex, [](QPDF&, QPDFObjectHandle page) {
        page.replaceKey("/Group",
                        QPDFObjectHandle::parse("<< /S /Transparency /CS /DeviceRGB /I true >>"));
    });
}

QByteArray withBlackSquareAnnotation(const QByteArray& pdf, int pageIndex, const QRectF& rect) {
    return patchPage(pdf, pageIndex, [&rect](QPDF& doc, QPDFObjectHandle page) {
        const std::string fill = "0 0 0 rg 0 0 " + std::to_string(rect.width()) + " " +
                                 std::to_string(rect.height()) + " re f";
        QPDFObjectHandle appearance = QPDFObjectHandle::newStream(&doc, fill);
        appearance.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        appearance.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
        appearance.getDict().replaceKey("/BBox", rectangle(0, 0, rect.width(), rect.height()));

        QPDFObjectHandle annotation = doc.makeIndirectObject(
            QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Square /F 4 >>"));
        annotation.replaceKey("/Rect",
                              rectangle(rect.left(), rect.top(), rect.right(), rect.bottom()));
        QPDFObjectHandle appearances = QPDFObjectHandle::newDictionary();
        appearances.replaceKey("/N", appearance);
        annotation.replaceKey("/AP", appearances);
        annotation.replaceKey("/P", page);
        page.replaceKey("/Annots",
                        QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{annotation}));
    });
}
