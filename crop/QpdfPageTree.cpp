#include "crop/QpdfPageTree.h"

#include "crop/PdfBoxText.h"
#include "crop/QpdfPageReader.h"

namespace QpdfPageTree {

void flatten(QPDF& pdf, std::vector<QPDFObjectHandle>& pages) {
    const std::vector<PageGeometry> read = QpdfPageReader::readAll(pages);
    pdf.pushInheritedAttributesToPage();
    QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
    const auto array = [](const QRectF& box) {
        return QPDFObjectHandle::parse(PdfBoxText::array(box).toStdString());
    };
    for (size_t i = 0; i < pages.size(); ++i) {
        if (!pages[i].isDictionary()) {
            QPDFObjectHandle blank = QPDFObjectHandle::newDictionary();
            blank.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
            blank.replaceKey("/Resources", QPDFObjectHandle::newDictionary());
            pages[i] = pdf.makeIndirectObject(blank);
        }
        pages[i].replaceKey("/MediaBox", array(read[i].box(PdfBox::Media)));
        pages[i].replaceKey("/CropBox", array(read[i].box(PdfBox::Crop)));
        pages[i].replaceKey("/Rotate", QPDFObjectHandle::newInteger(read[i].rotation));
    }
    root.replaceKey("/Kids", QPDFObjectHandle::newArray(pages));
    root.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(pages.size())));
    for (QPDFObjectHandle& page : pages)
        page.replaceKey("/Parent", root);
}

} // namespace QpdfPageTree
