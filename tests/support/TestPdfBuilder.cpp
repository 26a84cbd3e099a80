#include "tests/support/TestPdfBuilder.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <QBuffer>
#include <QFile>
#include <QImage>

#include <map>
#include <memory>
#include <stdexcept>

namespace {

using Object = QPDFObjectHandle;

Object boxArray(const QRectF& r) {
    return Object::newArray(
        std::vector<Object>{Object::newReal(r.left(), 4), Object::newReal(r.top(), 4),
                            Object::newReal(r.right(), 4), Object::newReal(r.bottom(), 4)});
}

void setOptionalBox(Object dict, const char* key, const std::optional<QRectF>& box) {
    if (box)
        dict.replaceKey(key, boxArray(*box));
}

Object indirect(QPDF& pdf, const std::string& text) {
    return pdf.makeIndirectObject(Object::parse(text));
}

// A destination that shows the whole page.
Object fitDestination(Object page) {
    return Object::newArray(std::vector<Object>{page, Object::newName("/Fit")});
}

void appendKid(Object parent, Object kid) {
    parent.getKey("/Kids").appendItem(kid);
    parent.replaceKey("/Count", Object::newInteger(parent.getKey("/Count").getIntValue() + 1));
    kid.replaceKey("/Parent", parent);
}

void addAnnotation(Object page, Object annotation) {
    if (!page.hasKey("/Annots"))
        page.replaceKey("/Annots", Object::newArray());
    annotation.replaceKey("/P", page);
    page.getKey("/Annots").appendItem(annotation);
}

void addBlackSquare(QPDF& pdf, Object page, const QRectF& rect) {
    const std::string size = std::to_string(rect.width()) + " " + std::to_string(rect.height());
    Object appearance = Object::newStream(&pdf, "0 0 0 rg 0 0 " + size + " re f");
    appearance.replaceDict(
        Object::parse("<< /Type /XObject /Subtype /Form /BBox [0 0 " + size + "] >>"));
    Object annotation = indirect(pdf, "<< /Type /Annot /Subtype /Square /F 4 >>");
    annotation.replaceKey("/Rect", boxArray(rect));
    annotation.replaceKey("/AP", Object::newDictionary({{"/N", appearance}}));
    addAnnotation(page, annotation);
}

Object pieceInfo(QPDF& pdf, const TestPage& page) {
    // Parsed as part of the file, so that what qpdf warns of in it goes into the file too.
    Object pieces = Object::parse(&pdf, page.pieceInfo.toStdString());
    if (!page.indirectPieceInfo || !pieces.isDictionary())
        return pieces;
    for (const std::string& key : pieces.getKeys())
        pieces.replaceKey(key, pdf.makeIndirectObject(pieces.getKey(key)));
    return pdf.makeIndirectObject(pieces);
}

enum class ImageCoding { Jpeg, LosslessGrey, LosslessRgb };

// picture as an image XObject: a JPEG of the best quality, in colour, or its samples as they
// are, which the writer compresses without loss.
Object imageObject(QPDF& pdf, const QImage& picture, ImageCoding coding) {
    QByteArray data;
    QByteArray dictionary = "<< /Type /XObject /Subtype /Image /BitsPerComponent 8 ";
    if (coding == ImageCoding::Jpeg) {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPG", 95);
        dictionary += "/ColorSpace /DeviceRGB /Filter /DCTDecode";
    } else {
        const bool grey = coding == ImageCoding::LosslessGrey;
        const QImage samples =
            picture.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
        const qsizetype rowBytes = samples.width() * (grey ? 1 : 3);
        for (int y = 0; y < samples.height(); ++y)
            data.append(reinterpret_cast<const char*>(samples.constScanLine(y)), rowBytes);
        dictionary += grey ? "/ColorSpace /DeviceGray" : "/ColorSpace /DeviceRGB";
    }
    Object image = Object::newStream(&pdf, data.toStdString());
    dictionary += " /Width " + QByteArray::number(picture.width()) + " /Height " +
                  QByteArray::number(picture.height()) + " >>";
    image.replaceDict(Object::parse(dictionary.toStdString()));
    return image;
}

// picture, as a JPEG or without loss in grey, filling the page's media box, and the content
// that draws it.
// The picture drawn over media, then the page's own content over it.
void addScan(QPDF& pdf, Object page, const QRectF& media, const QImage& picture, bool lossless,
             const QByteArray& over) {
    const Object scan =
        imageObject(pdf, picture, lossless ? ImageCoding::LosslessGrey : ImageCoding::Jpeg);
    page.replaceKey("/Resources", Object::newDictionary(
                                      {{"/XObject", Object::newDictionary({{"/Scan", scan}})}}));
    page.replaceKey("/Contents",
                    Object::newStream(
                        &pdf, (QString::asprintf("q %g 0 0 %g %g %g cm /Scan Do Q ", media.width(),
                                                 media.height(), media.left(), media.top())
                                   .toLatin1() +
                               over)
                                  .toStdString()));
}

// A scanned page of one colour.
QImage plainScan(const QColor& colour) {
    QImage image(85, 110, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

qint64 lastStartxref(const QByteArray& file) {
    const qsizetype at = file.lastIndexOf("startxref") + 9;
    return file.mid(at, file.indexOf("%%EOF", at) - at).trimmed().toLongLong();
}

// Appends a classic cross-reference section for the file pdf parsed: one subsection per
// object at its offset (object 0 as the head of the free list), then the trailer, with the
// entries every section repeats and the given ones, and its startxref.
void appendXrefTable(QByteArray& file, QPDF& pdf, const std::map<int, qint64>& offsets, int size,
                     const QByteArray& entries) {
    const qint64 at = file.size();
    file += "xref\n";
    for (const auto& [number, offset] : offsets)
        file += QByteArray::number(number) + " 1\n" +
                QByteArray::number(offset).rightJustified(10, '0') +
                (number == 0 ? " 65535 f\r\n" : " 00000 n\r\n");
    file += "trailer\n<< /Size " + QByteArray::number(size) + ' ' + entries;
    for (const char* key : {"/Root", "/ID", "/Encrypt"}) {
        if (pdf.getTrailer().hasKey(key))
            file += QByteArray(" ") + key + ' ' +
                    QByteArray::fromStdString(pdf.getTrailer().getKey(key).unparse());
    }
    file += " >>\nstartxref\n" + QByteArray::number(at) + "\n%%EOF\n";
}

// The file parsed by qpdf, which reads the bytes in place: they must outlive it.
std::unique_ptr<QPDF> parsed(const QByteArray& bytes) {
    auto pdf = std::make_unique<QPDF>();
    pdf->processMemoryFile("built", bytes.constData(), static_cast<size_t>(bytes.size()));
    return pdf;
}

QByteArray withHybridXref(const QByteArray& original) {
    const auto pdf = parsed(original);
    QByteArray file = original;
    std::map<int, qint64> offsets{{0, 0}};
    for (const auto& [id, entry] : pdf->getXRefTable()) {
        if (entry.getType() == 1)
            offsets[id.getObj()] = entry.getOffset();
    }
    appendXrefTable(file, *pdf, offsets, pdf->getTrailer().getKey("/Size").getIntValueAsInt(),
                    "/XRefStm " + QByteArray::number(lastStartxref(original)));
    return file;
}

QByteArray withUpdate(const QByteArray& original) {
    const auto pdf = parsed(original);
    QByteArray file = original;
    std::map<int, qint64> offsets;
    auto addObject = [&](QPDFObjGen id, const std::string& body) {
        offsets[id.getObj()] = file.size();
        file += QByteArray::fromStdString(id.unparse(' ') + " obj\n" + body + "\nendobj\n");
    };
    for (Object page : pdf->getAllPages())
        addObject(page.getObjGen(), page.unparseResolved());
    const int info = pdf->getTrailer().getKey("/Size").getIntValueAsInt();
    addObject(QPDFObjGen(info, 0), "<< /Trapped /False >>");
    appendXrefTable(file, *pdf, offsets, info + 1,
                    "/Prev " + QByteArray::number(lastStartxref(original)) + " /Info " +
                        QByteArray::number(info) + " 0 R");
    return file;
}

} // namespace

QByteArray TestPdfBuilder::bytes() const {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.emptyPDF();
    const char* const emptyPages = "<< /Type /Pages /Kids [] /Count 0 >>";
    Object root = indirect(pdf, emptyPages);
    pdf.getRoot().replaceKey("/Pages", root);
    std::vector<Object> groupNodes;
    for (const auto& group : groups_) {
        Object node = indirect(pdf, emptyPages);
        setOptionalBox(node, "/MediaBox", group.mediaBox);
        setOptionalBox(node, "/CropBox", group.cropBox);
        if (group.rotate)
            node.replaceKey("/Rotate", Object::newInteger(*group.rotate));
        appendKid(root, node);
        groupNodes.push_back(node);
    }

    Object resources = indirect(
        pdf, "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>");
    std::map<QString, Object> sharedBoxes;
    std::vector<Object> pageObjects;
    for (const auto& page : pages_) {
        Object dict = indirect(pdf, "<< /Type /Page >>");
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
        if (page.rotate)
            dict.replaceKey("/Rotate", Object::newInteger(*page.rotate));
        dict.replaceKey("/Resources", resources);
        if (!page.images.empty()) {
            Object images = Object::newDictionary();
            for (const auto& [name, image] : page.images)
                images.replaceKey(name, imageObject(pdf, image.picture,
                                                    image.lossless ? ImageCoding::LosslessRgb
                                                                   : ImageCoding::Jpeg));
            dict.replaceKey("/Resources",
                            Object::newDictionary(
                                {{"/Font", resources.getKey("/Font")}, {"/XObject", images}}));
        }
        dict.replaceKey("/Contents", Object::newStream(&pdf, page.content.toStdString()));
        if (page.scanned || !page.scanPicture.isNull()) {
            addScan(pdf, dict, page.mediaBox.value_or(QRectF(0, 0, 612, 792)),
                    page.scanned ? plainScan(*page.scanned) : page.scanPicture, page.losslessScan,
                    page.content);
        }
        if (page.transparencyGroup)
            dict.replaceKey("/Group",
                            Object::parse("<< /S /Transparency /CS /DeviceRGB /I true >>"));
        if (page.blackSquareAnnotation)
            addBlackSquare(pdf, dict, *page.blackSquareAnnotation);
        if (!page.pieceInfo.isEmpty())
            dict.replaceKey("/PieceInfo", pieceInfo(pdf, page));
        const bool grouped = page.group >= 0 && page.group < static_cast<int>(groupNodes.size());
        appendKid(grouped ? groupNodes[static_cast<size_t>(page.group)] : root, dict);
        pageObjects.push_back(dict);
        if (page.linkToFirstPage) {
            Object link = indirect(pdf, "<< /Type /Annot /Subtype /Link >>");
            link.replaceKey("/Rect", boxArray(*page.linkToFirstPage));
            link.replaceKey("/Dest", fitDestination(pageObjects.front()));
            addAnnotation(dict, link);
        }
    }
    root.replaceKey("/Count", Object::newInteger(static_cast<long long>(pages_.size())));
    if (outline_) {
        Object outlines = indirect(pdf, "<< /Type /Outlines /Count 1 >>");
        Object item = pdf.makeIndirectObject(Object::newDictionary(
            {{"/Title", Object::newUnicodeString(outline_->first.toStdString())},
             {"/Parent", outlines},
             {"/Dest", fitDestination(pageObjects.at(static_cast<size_t>(outline_->second)))}}));
        outlines.replaceKey("/First", item);
        outlines.replaceKey("/Last", item);
        pdf.getRoot().replaceKey("/Outlines", outlines);
    }

    QPDFWriter writer(pdf);
    writer.setOutputMemory();
    writer.setStaticID(true);
    if (layout_.objectStreams)
        writer.setObjectStreamMode(qpdf_o_generate);
    writer.setCompressStreams(!layout_.uncompressedStreams);
    writer.setLinearization(layout_.linearized);
    if (passwords_ && keyBits_ == 128) {
        writer.setR4EncryptionParametersInsecure(
            passwords_->first.toStdString().c_str(), passwords_->second.toStdString().c_str(), true,
            true, true, true, true, true, qpdf_r3p_full, true, true);
    } else if (passwords_) {
        writer.setR6EncryptionParameters(passwords_->first.toStdString().c_str(),
                                         passwords_->second.toStdString().c_str(), true, true, true,
                                         true, true, true, qpdf_r3p_full, true);
    }
    writer.write();
    auto buffer = writer.getBufferSharedPointer();
    QByteArray file(reinterpret_cast<const char*>(buffer->getBuffer()),
                    static_cast<qsizetype>(buffer->getSize()));
    if (layout_.hybridXref)
        file = withHybridXref(file);
    for (int i = 0; i < layout_.earlierUpdates; ++i)
        file = withUpdate(file);
    if (layout_.noKeyLength) {
        // Blanked in place, so that every offset stays right.
        const qsizetype at = file.indexOf("/Length 128", file.indexOf("/Filter /Standard"));
        if (at < 0)
            throw std::logic_error("noKeyLength is for files encrypted with 128-bit keys");
        file.replace(at, 11, QByteArray(11, ' '));
    }
    if (layout_.wrongStartxref) {
        const qsizetype at = file.lastIndexOf("startxref") + 10;
        file.replace(at, file.indexOf('\n', at) - at, "12");
    }
    return file;
}

QString TestPdfBuilder::writeTo(const QString& path) const {
    return writeFile(path, bytes());
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
