#include "crop/QpdfUpdateBuilder.h"

#include "crop/PdfBoxText.h"
#include "crop/QpdfPageLayout.h"
#include "crop/QpdfShallowText.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <set>

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

std::optional<PdfIncrementalUpdate>
build(QPDF& pdf, const PdfSourceData& data, const std::vector<QPDFObjectHandle>& pages,
      const std::vector<PageGeometry>& geometry, const std::vector<std::uint8_t>& setBoxes,
      const OriginalBoxesEntry& originals, const QpdfPageLayout* layout) {
    if (pdf.anyWarnings() || !data.bytes().startsWith("%PDF-"))
        return std::nullopt;
    const auto tail = PdfIncrementalUpdate::readTail(data.bytes());
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle size = trailer.getKey("/Size");
    if (!tail || !size.isInteger() || !trailer.getKey("/Root").isIndirect())
        return std::nullopt;
    std::vector<QPDFObjectHandle> others;
    if (layout) {
        try {
            others = layout->placeInTree();
        } catch (const std::runtime_error&) {
            return std::nullopt;
        }
        others.insert(others.end(), layout->movedAnnotations().begin(),
                      layout->movedAnnotations().end());
    }
    PdfIncrementalUpdate update(data.size(), *tail, size.getIntValue(), trailerEntries(trailer));
    for (size_t i = 0; i < pages.size(); ++i) {
        const bool changed = layout && layout->changed(i);
        if (!setBoxes[i] && !changed)
            continue;
        // A page of the file has a number the file gave it; a new one is numbered after them
        // all, and a page qpdf made itself, mending the tree, would be numbered there too.
        const QPDFObjGen id = pages[i].getObjGen();
        const bool isNew = layout && layout->isNew(i);
        if (id.getObj() <= 0 || isNew != (id.getObj() >= size.getIntValue()))
            return std::nullopt;
        if (pdf.isEncrypted() && holdsDirectString(pages[i]))
            return std::nullopt;
        QpdfShallowText::Replacements entries =
            originals.changes(pages[i], geometry[i].boxes, geometry[i].part);
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
    std::set<QPDFObjGen> written;
    for (QPDFObjectHandle object : others) {
        const QPDFObjGen id = object.getObjGen();
        // An annotation that two pages listed moved once.
        if (!written.insert(id).second)
            continue;
        if (id.getObj() <= 0 || id.getObj() >= size.getIntValue() ||
            (pdf.isEncrypted() && holdsDirectString(object)))
            return std::nullopt;
        update.addObject(id.getObj(), id.getGen(),
                         QByteArray::fromStdString(QpdfShallowText::unparseEntries(object)));
    }
    // Reading the pages may have turned up damage that opening did not.
    if (pdf.anyWarnings())
        return std::nullopt;
    return update;
}

} // namespace QpdfUpdateBuilder
