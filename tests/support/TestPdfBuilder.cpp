#include "tests/support/TestPdfBuilder.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <QFile>

#include <map>
#include <stdexcept>

namespace {

QPDFObjectHandle boxArray(const QRectF& r) {
    return QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
        QPDFObjectHandle::newReal(r.left(), 4), QPDFObjectHandle::newReal(r.top(), 4),
        QPDFObjectHandle::newReal(r.right(), 4), QPDFObjectHandle::newReal(r.bottom(), 4)});
}

void setOptionalBox(QPDFObjectHandle dict, const char* key, const std::optional<QRectF>& box) {
    if (box)
        dict.replaceKey(key, boxArray(*box));
}

QPDFObjectHandle newPagesNode(QPDF& pdf) {
    return pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Pages /Kids [] /Count 0 >>"));
}

void appendKid(QPDFObjectHandle parent, QPDFObjectHandle kid) {
    parent.getKey("/Kids").appendItem(kid);
    kid.replaceKey("/Parent", parent);
}

} // namespace

int TestPdfBuilder::addGroup(const TestPageGroup& group) {
    groups_.push_back(group);
    return static_cast<int>(groups_.size()) - 1;
}

TestPdfBuilder& TestPdfBuilder::addPage(const TestPage& page) {
    pages_.push_back(page);
    return *this;
}

TestPdfBuilder& TestPdfBuilder::encrypt(const QString& userPassword, const QString& ownerPassword) {
    passwords_ = std::make_pair(userPassword, ownerPassword);
    return *this;
}

TestPdfBuilder& TestPdfBuilder::useObjectStreams() {
    objectStreams_ = true;
    return *this;
}

QByteArray TestPdfBuilder::bytes() const {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle root = newPagesNode(pdf);
    pdf.getRoot().replaceKey("/Pages", root);

    std::vector<QPDFObjectHandle> groupNodes;
    for (const auto& group : groups_) {
        QPDFObjectHandle node = newPagesNode(pdf);
        setOptionalBox(node, "/MediaBox", group.mediaBox);
        setOptionalBox(node, "/CropBox", group.cropBox);
        if (group.rotate)
            node.replaceKey("/Rotate", QPDFObjectHandle::newInteger(*group.rotate));
        appendKid(root, node);
        groupNodes.push_back(node);
    }

    const QPDFObjectHandle font = pdf.makeIndirectObject(
        QPDFObjectHandle::parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"));
    std::map<QString, QPDFObjectHandle> sharedBoxes;
    std::map<int, int> kidsPerGroup;
    for (const auto& page : pages_) {
        QPDFObjectHandle dict = QPDFObjectHandle::parse("<< /Type /Page >>");
        if (page.mediaBox && !page.sharedMediaBoxKey.isEmpty()) {
            auto [it, added] = sharedBoxes.try_emplace(page.sharedMediaBoxKey);
            if (added)
                it->second = pdf.makeIndirectObject(boxArray(*page.mediaBox));
            dict.replaceKey("/MediaBox", it->second);
        } else {
            setOptionalBox(dict, "/MediaBox", page.mediaBox);
        }
        setOptionalBox(dict, "/CropBox", page.cropBox);
        setOptionalBox(dict, "/BleedBox", page.bleedBox);
        setOptionalBox(dict, "/TrimBox", page.trimBox);
        setOptionalBox(dict, "/ArtBox", page.artBox);
        if (page.rotate)
            dict.replaceKey("/Rotate", QPDFObjectHandle::newInteger(*page.rotate));
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        QPDFObjectHandle fonts = QPDFObjectHandle::newDictionary();
        fonts.replaceKey("/F1", font);
        resources.replaceKey("/Font", fonts);
        dict.replaceKey("/Resources", resources);
        dict.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, page.content.toStdString()));
        QPDFObjectHandle pageObject = pdf.makeIndirectObject(dict);
        if (page.group >= 0 && page.group < static_cast<int>(groupNodes.size())) {
            appendKid(groupNodes[page.group], pageObject);
            ++kidsPerGroup[page.group];
        } else {
            appendKid(root, pageObject);
        }
    }
    for (auto [group, count] : kidsPerGroup)
        groupNodes[group].replaceKey("/Count", QPDFObjectHandle::newInteger(count));
    root.replaceKey("/Count", QPDFObjectHandle::newInteger(static_cast<long long>(pages_.size())));

    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setStaticID(true);
    if (objectStreams_)
        writer.setObjectStreamMode(qpdf_o_generate);
    if (passwords_) {
        writer.setR6EncryptionParameters(passwords_->first.toStdString().c_str(),
                                         passwords_->second.toStdString().c_str(), true, true, true,
                                         true, true, true, qpdf_r3p_full, true);
    }
    writer.write();
    auto buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()),
                      static_cast<qsizetype>(buffer->getSize()));
}

QString TestPdfBuilder::writeTo(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes()) < 0)
        throw std::runtime_error("cannot write test PDF " + path.toStdString());
    return path;
}
