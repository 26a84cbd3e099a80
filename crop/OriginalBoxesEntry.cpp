#include "crop/OriginalBoxesEntry.h"

#include "crop/PdfBoxText.h"
#include "crop/QpdfPageReader.h"

namespace {

// Whether the dictionary holds an entry other than key.
bool holdsOtherThan(QPDFObjectHandle dictionary, const std::string& key) {
    if (!dictionary.isDictionary())
        return false;
    for (const std::string& other : dictionary.getKeys()) {
        if (other != key)
            return true;
    }
    return false;
}

} // namespace

OriginalBoxesEntry::OriginalBoxesEntry(const QDateTime& when, bool keeps)
    : date_('(' + when.toUTC().toString(QStringLiteral("'D:'yyyyMMddHHmmss'Z'")).toStdString() +
            ')'),
      keeps_(keeps) {}

QpdfShallowText::Replacements
OriginalBoxesEntry::changes(QPDFObjectHandle page, const std::array<QRectF, kPdfBoxCount>& saved,
                            const std::optional<PagePart>& part) const {
    if (!page.isDictionary())
        return {};
    const PageGeometry opened = QpdfPageReader::read(page);
    // An entry goes when the page is saved with its kept boxes again, which leaves nothing to
    // restore, or when saved files keep none.
    const bool drops =
        opened.keptOriginal && (!keeps_ || PdfBoxText::sameArrays(*opened.keptOriginal, saved));
    const bool adds =
        keeps_ && !opened.keptOriginal && !PdfBoxText::sameArrays(opened.boxes, saved);
    const bool namesPart = keeps_ && part && opened.keptOriginal && !opened.part && !drops;
    if (!drops && !adds && !namesPart)
        return {};
    QPDFObjectHandle pieces = page.getKey(kPieceInfo);
    const std::string partText = part ? QStringLiteral("[%1 %2 %3]")
                                            .arg(part->page)
                                            .arg(part->index)
                                            .arg(part->count)
                                            .toStdString()
                                      : std::string();
    std::string entry;
    if (adds) {
        const std::array<QByteArray, kPdfBoxCount> texts = PdfBoxText::arrays(opened.boxes);
        QByteArray kept;
        for (int box = 0; box < kPdfBoxCount; ++box)
            kept += QByteArray(kPdfBoxKeys[box]) + ' ' + texts[static_cast<size_t>(box)] + ' ';
        if (part)
            kept += QByteArray(kPart) + ' ' + QByteArray::fromStdString(partText) + ' ';
        entry = std::string("<< ") + kLastModified + ' ' + date_ + ' ' + kPrivate + " << " +
                kept.toStdString() + ">> >>";
    } else if (namesPart) {
        // The boxes kept stay as they are, and so does the rest of the entry.
        QPDFObjectHandle own = pieces.getKey(kOwnKey);
        entry = QpdfShallowText::unparseEntries(
            own, {{kPrivate,
                   QpdfShallowText::unparseEntries(own.getKey(kPrivate), {{kPart, partText}})}});
    } else if (!holdsOtherThan(pieces, kOwnKey)) {
        return {{kPieceInfo, {}}, {kLastModified, date_}};
    }
    // The page's own date is the one each application compares its entry's with, to see
    // whether the page changed after it wrote its data.
    return {{kPieceInfo, QpdfShallowText::unparseEntries(pieces, {{kOwnKey, entry}})},
            {kLastModified, date_}};
}
