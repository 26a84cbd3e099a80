#include "crop/QpdfUpdateBuilder.h"

#include "crop/PdfBoxText.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <string>

namespace QpdfUpdateBuilder {

namespace {

const char* const kTrailerKeys[] = {"/Root", "/Info", "/ID", "/Encrypt"};

using Replacements = std::map<std::string, QByteArray>;

std::string unparseShallow(QPDFObjectHandle object);

// A dictionary's entries as PDF text, with some entries replaced or added; the dictionary
// itself may be an indirect object.
std::string unparseEntries(QPDFObjectHandle dictionary, const Replacements& replacements = {}) {
    std::string text = "<<";
    for (auto& [key, value] : dictionary.getDictAsMap()) {
        if (!replacements.count(key))
            text += ' ' + QPDFObjectHandle::newName(key).unparse() + ' ' + unparseShallow(value);
    }
    for (const auto& [key, value] : replacements)
        text += ' ' + key + ' ' + value.toStdString();
    return text + " >>";
}

// The object as PDF text, with every indirect object it refers to written as a reference.
// qpdf's own unparse looks up each referenced object to skip nulls, which on a large file
// means reading hundreds of content and image stream headers that the update never needs.
std::string unparseShallow(QPDFObjectHandle object) {
    if (object.isIndirect())
        return object.getObjGen().unparse(' ') + " R";
    if (object.isDictionary())
        return unparseEntries(object);
    if (object.isArray()) {
        std::string text = "[";
        for (auto& item : object.getArrayAsVector())
            text += ' ' + unparseShallow(item);
        return text + " ]";
    }
    return object.unparse();
}

// Strings in an encrypted file's objects are encrypted with a key of their object; qpdf hands
// them out decrypted, so a dictionary holding one cannot be written back as it unparses.
bool holdsDirectString(QPDFObjectHandle object) {
    if (object.isString())
        return true;
    if (object.isArray()) {
        for (auto& item : object.getArrayAsVector())
            if (!item.isIndirect() && holdsDirectString(item))
                return true;
    } else if (object.isDictionary()) {
        for (auto& [key, value] : object.getDictAsMap())
            if (!value.isIndirect() && holdsDirectString(value))
                return true;
    }
    return false;
}

QByteArray trailerEntries(QPDFObjectHandle trailer) {
    QByteArray entries;
    for (const char* key : kTrailerKeys) {
        if (trailer.hasKey(key)) {
            entries += QByteArray(key) + ' ' +
                       QByteArray::fromStdString(trailer.getKey(key).unparse()) + ' ';
        }
    }
    return entries.trimmed();
}

} // namespace

std::optional<PdfIncrementalUpdate> build(QPDF& pdf, const PdfSourceData& data,
                                          std::vector<QPDFObjectHandle>& pages,
                                          const std::vector<PageGeometry>& geometry,
                                          const std::vector<std::uint8_t>& setBoxes) {
    if (pdf.anyWarnings() || !data.bytes().startsWith("%PDF-"))
        return std::nullopt;
    const auto tail = PdfIncrementalUpdate::readTail(data.bytes());
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle size = trailer.getKey("/Size");
    if (!tail || !size.isInteger() || !trailer.getKey("/Root").isIndirect())
        return std::nullopt;
    PdfIncrementalUpdate update(data.size(), *tail, size.getIntValue(), trailerEntries(trailer));
    for (size_t i = 0; i < pages.size(); ++i) {
        if (!setBoxes[i])
            continue;
        const QPDFObjGen id = pages[i].getObjGen();
        if (id.getObj() <= 0 || id.getObj() >= size.getIntValue())
            return std::nullopt;
        if (pdf.isEncrypted() && holdsDirectString(pages[i]))
            return std::nullopt;
        Replacements boxes;
        for (int box = 0; box < kPdfBoxCount; ++box) {
            if (setBoxes[i] & (1u << box))
                boxes[kPdfBoxKeys[box]] =
                    PdfBoxText::array(geometry[i].boxes[static_cast<size_t>(box)]);
        }
        update.addObject(id.getObj(), id.getGen(),
                         QByteArray::fromStdString(unparseEntries(pages[i], boxes)));
    }
    // Reading the pages may have turned up damage that opening did not.
    if (pdf.anyWarnings())
        return std::nullopt;
    return update;
}

} // namespace QpdfUpdateBuilder
