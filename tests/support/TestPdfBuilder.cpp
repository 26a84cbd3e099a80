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

void addAnnotation(QPDFObjectHandle page, QPDFObjectHandle annotation) {
    if (!page.hasKey("/Annots"))
        page.replaceKey("/Annots", QPDFObjectHandle::newArray());
    annotation.replaceKey("/P", page);
    page.getKey("/Annots").appendItem(annotation);
}

void addBlackSquare(QPDF& pdf, QPDFObjectHandle page, const QRectF& rect) {
    QPDFObjectHandle appearance =
        QPDFObjectHandle::newStream(&pdf, "0 0 0 rg 0 0 " + std::to_string(rect.width()) + " " +
                                              std::to_string(rect.height()) + " re f");
    appearance.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    appearance.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    appearance.getDict().replaceKey("/BBox", boxArray(QRectF(0, 0, rect.width(), rect.height())));
    QPDFObjectHandle annotation =
        pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Square /F 4 >>"));
    annotation.replaceKey("/Rect", boxArray(rect));
    QPDFObjectHandle appearances = QPDFObjectHandle::newDictionary();
    appearances.replaceKey("/N", appearance);
    annotation.replaceKey("/AP", appearances);
    addAnnotation(page, annotation);
}

void appendKid(QPDFObjectHandle parent, QPDFObjectHandle kid) {
    parent.getKey("/Kids").appendItem(kid);
    kid.replaceKey("/Parent", parent);
}

qint64 lastStartxref(const QByteArray& file) {
    const qsizetype at = file.lastIndexOf("startxref") + 9;
    return file.mid(at, file.indexOf("%%EOF", at) - at).trimmed().toLongLong();
}

// The trailer entries that every cross-reference section of the file repeats.
QByteArray keptTrailerEntries(QPDF& pdf) {
    QByteArray entries;
    for (const char* key : {"/Root", "/ID", "/Encrypt"}) {
        if (pdf.getTrailer().hasKey(key))
            entries += QByteArray(key) + ' ' +
                       QByteArray::fromStdString(pdf.getTrailer().getKey(key).unparse()) + ' ';
    }
    return entries;
}

// Appends a classic cross-reference section: one subsection per object at its offset (object
// 0 as the head of the free list), then the trailer and its startxref.
void appendXrefTable(QByteArray& file, const std::map<int, qint64>& offsets,
                     const QByteArray& trailer) {
    const qint64 at = file.size();
    file += "xref\n";
    for (const auto& [number, offset] : offsets) {
        file += QByteArray::number(number) + " 1\n" +
                QByteArray::number(offset).rightJustified(10, '0') +
                (number == 0 ? " 65535 f\r\n" : " 00000 n\r\n");
    }
    file += "trailer\n<< " + trailer + " >>\nstartxref\n" + QByteArray::number(at) + "\n%%EOF\n";
}

// qpdf reads the bytes in place, so they must stay as they are while it reads them.
void process(QPDF& pdf, const QByteArray& bytes) {
    pdf.processMemoryFile("built", bytes.constData(), static_cast<size_t>(bytes.size()));
}

QByteArray withHybridXref(const QByteArray& original) {
    QPDF pdf;
    process(pdf, original);
    QByteArray file = original;
    std::map<int, qint64> offsets{{0, 0}};
    for (const auto& [id, entry] : pdf.getXRefTable()) {
        if (entry.getType() == 1)
            offsets[id.getObj()] = entry.getOffset();
    }
    const QByteArray trailer =
        "/Size " + QByteArray::fromStdString(pdf.getTrailer().getKey("/Size").unparse()) + ' ' +
        keptTrailerEntries(pdf) + "/XRefStm " + QByteArray::number(lastStartxref(original));
    appendXrefTable(file, offsets, trailer);
    return file;
}

QByteArray withUpdate(const QByteArray& original) {
    QPDF pdf;
    process(pdf, original);
    QByteArray file = original;
    std::map<int, qint64> offsets;
    auto addObject = [&](QPDFObjGen id, const std::string& body) {
        offsets[id.getObj()] = file.size();
        file += QByteArray::fromStdString(id.unparse(' ') + " obj\n" + body + "\nendobj\n");
    };
    for (QPDFObjectHandle page : pdf.getAllPages())
        addObject(page.getObjGen(), page.unparseResolved());
    const int info = pdf.getTrailer().getKey("/Size").getIntValueAsInt();
    addObject(QPDFObjGen(info, 0), "<< /Trapped /False >>");
    appendXrefTable(file, offsets,
                    "/Size " + QByteArray::number(info + 1) + " /Prev " +
                        QByteArray::number(lastStartxref(original)) + ' ' +
                        keptTrailerEntries(pdf) + "/Info " + QByteArray::number(info) + " 0 R");
    return file;
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

TestPdfBuilder& TestPdfBuilder::addOutline(const QString& title, int pageIndex) {
    outlines_.emplace_back(title, pageIndex);
    return *this;
}

TestPdfBuilder& TestPdfBuilder::useObjectStreams() {
    objectStreams_ = true;
    return *this;
}

TestPdfBuilder& TestPdfBuilder::useHybridXref() {
    hybridXref_ = true;
    return useObjectStreams();
}

TestPdfBuilder& TestPdfBuilder::linearize() {
    linearize_ = true;
    return *this;
}

TestPdfBuilder& TestPdfBuilder::addEarlierUpdates(int count) {
    earlierUpdates_ += count;
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
    std::vector<QPDFObjectHandle> pageObjects;
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
        if (page.transparencyGroup) {
            dict.replaceKey(
                "/Group", QPDFObjectHandle::parse("<< /S /Transparency /CS /DeviceRGB /I true >>"));
        }
        QPDFObjectHandle pageObject = pdf.makeIndirectObject(dict);
        if (page.blackSquareAnnotation)
            addBlackSquare(pdf, pageObject, *page.blackSquareAnnotation);
        pageObjects.push_back(pageObject);
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

    for (size_t i = 0; i < pages_.size(); ++i) {
        if (const auto& rect = pages_[i].linkToFirstPage) {
            QPDFObjectHandle link = pdf.makeIndirectObject(
                QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Link >>"));
            link.replaceKey("/Rect", boxArray(*rect));
            link.replaceKey("/Dest", QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
                                         pageObjects.front(), QPDFObjectHandle::newName("/Fit")}));
            addAnnotation(pageObjects[i], link);
        }
    }
    if (!outlines_.empty()) {
        QPDFObjectHandle outlines =
            pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Outlines >>"));
        std::vector<QPDFObjectHandle> items;
        for (const auto& [title, pageIndex] : outlines_) {
            QPDFObjectHandle item = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
            item.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title.toStdString()));
            item.replaceKey("/Parent", outlines);
            item.replaceKey("/Dest", QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
                                         pageObjects.at(static_cast<size_t>(pageIndex)),
                                         QPDFObjectHandle::newName("/Fit")}));
            if (!items.empty()) {
                items.back().replaceKey("/Next", item);
                item.replaceKey("/Prev", items.back());
            }
            items.push_back(item);
        }
        outlines.replaceKey("/First", items.front());
        outlines.replaceKey("/Last", items.back());
        outlines.replaceKey("/Count",
                            QPDFObjectHandle::newInteger(static_cast<long long>(items.size())));
        pdf.getRoot().replaceKey("/Outlines", outlines);
    }

    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setStaticID(true);
    if (objectStreams_)
        writer.setObjectStreamMode(qpdf_o_generate);
    writer.setLinearization(linearize_);
    if (passwords_) {
        writer.setR6EncryptionParameters(passwords_->first.toStdString().c_str(),
                                         passwords_->second.toStdString().c_str(), true, true, true,
                                         true, true, true, qpdf_r3p_full, true);
    }
    writer.write();
    auto buffer = writer.getBufferSharedPointer();
    QByteArray file(reinterpret_cast<const char*>(buffer->getBuffer()),
                    static_cast<qsizetype>(buffer->getSize()));
    if (hybridXref_)
        file = withHybridXref(file);
    for (int i = 0; i < earlierUpdates_; ++i)
        file = withUpdate(file);
    return file;
}

QString TestPdfBuilder::writeTo(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes()) < 0)
        throw std::runtime_error("cannot write test PDF " + path.toStdString());
    return path;
}
