#include "crop/QpdfUpdateBuilder.h"

#include "crop/PdfBoxText.h"
#include "crop/QpdfShallowText.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace QpdfUpdateBuilder {

namespace {

const char* const kTrailerKeys[] = {"/Root", "/Info", "/ID", "/Encrypt"};

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
                                          const std::vector<std::uint8_t>& setBoxes,
                                          const OriginalBoxesEntry& originals) {
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
        QpdfShallowText::Replacements entries = originals.changes(pages[i], geometry[i].boxes);
        // Kept boxes come with a date, a string that would need encrypting too.
        if (pdf.isEncrypted() && !entries.empty())
            return std::nullopt;
        const std::array<QByteArray, kPdfBoxCount> boxes = PdfBoxText::arrays(geometry[i].boxes);
        for (int box = 0; box < kPdfBoxCount; ++box) {
            if (setBoxes[i] & (1u << box))
                entries[kPdfBoxKeys[box]] = boxes[static_cast<size_t>(box)].toStdString();
        }
        update.addObject(
            id.getObj(), id.getGen(),
            QByteArray::fromStdString(QpdfShallowText::unparseEntries(pages[i], entries)));
    }
    // Reading the pages may have turned up damage that opening did not.
    if (pdf.anyWarnings())
        return std::nullopt;
    return update;
}

} // namespace QpdfUpdateBuilder
