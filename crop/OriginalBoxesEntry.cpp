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

OriginalBoxesEntry::OriginalBoxesEntry(const QDateTime& when)
    : date_('(' + when.toUTC().toString(QStringLiteral("'D:'yyyyMMddHHmmss'Z'")).toStdString() +
            ')') {}

QpdfShallowText::Replacements
OriginalBoxesEntry::changes(QPDFObjectHandle page,
                            const std::array<QRectF, kPdfBoxCount>& saved) const {
    if (!page.isDictionary())
        return {};
    const PageGeometry opened = QpdfPageReader::read(page);
    if (opened.keptOriginal ? !PdfBoxText::sameArrays(*opened.keptOriginal, saved)
                            : PdfBoxText::sameArrays(opened.boxes, saved))
        return {};
    const QPDFObjectHandle pieces = page.getKey(kPieceInfo);
    std::string entry;
    if (!opened.keptOriginal) {
        const std::array<QByteArray, kPdfBoxCount> texts = PdfBoxText::arrays(opened.boxes);
        QByteArray kept;
        for (int box = 0; box < kPdfBoxCount; ++box)
            kept += QByteArray(kPdfBoxKeys[box]) + ' ' + texts[static_cast<size_t>(box)] + ' ';
        entry = std::string("<< ") + kLastModified + ' ' + date_ + ' ' + kPrivate + " << " +
                kept.toStdString() + ">> >>";
    } else if (!holdsOtherThan(pieces, kOwnKey)) {
        return {{kPieceInfo, {}}, {kLastModified, date_}};
    }
    // The page's own date is the one each application compares its entry's with, to see
    // whether the page changed after it wrote its data.
    return {{kPieceInfo, QpdfShallowText::unparseEntries(pieces, {{kOwnKey, entry}})},
            {kLastModified, date_}};
}
