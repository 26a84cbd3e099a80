#include "crop/QpdfPageTree.h"

namespace QpdfPageTree {

void flatten(QPDF& pdf, std::vector<QPDFObjectHandle>& pages,
             const std::vector<std::string>& mediaBoxes) {
    pdf.pushInheritedAttributesToPage();
    QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
    for (size_t i = 0; i < pages.size(); ++i) {
        if (pages[i].isDictionary())
            continue;
        QPDFObjectHandle blank = QPDFObjectHandle::newDictionary();
        blank.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
        blank.replaceKey("/MediaBox", QPDFObjectHandle::parse(mediaBoxes[i]));
        blank.replaceKey("/Resources", QPDFObjectHandle::newDictionary());
        pages[i] = pdf.makeIndirectObject(blank);
    }
    root.replaceKey("/Kids", QPDFObjectHandle::newArray(pages));
    root.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(pages.size())));
    for (QPDFObjectHandle& page : pages)
        page.replaceKey("/Parent", root);
}

} // namespace QpdfPageTree
