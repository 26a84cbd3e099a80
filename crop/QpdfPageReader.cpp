#include "crop/QpdfPageReader.h"

#include "crop/OriginalBoxesEntry.h"
#include "crop/RectMath.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <climits>
#include <cmath>
#include <optional>

namespace QpdfPageReader {

namespace {

// Deep or cyclic /Parent chains in damaged files end the search here.
constexpr int kMaxTreeDepth = 64;

QPDFObjectHandle attribute(QPDFObjectHandle node, const char* key, bool inheritable) {
    for (int depth = 0; depth < kMaxTreeDepth && node.isDictionary(); ++depth) {
        if (node.hasKey(key)) {
            QPDFObjectHandle value = node.getKey(key);
            if (!value.isNull())
                return value;
        }
        if (!inheritable || !node.hasKey("/Parent"))
            break;
        node = node.getKey("/Parent");
    }
    return QPDFObjectHandle::newNull();
}

// A box with area, corners in any order; nothing for anything else.
std::optional<QRectF> boxValue(QPDFObjectHandle value) {
    if (!value.isArray() || value.getArrayNItems() != 4)
        return std::nullopt;
    double v[4];
    for (int i = 0; i < 4; ++i) {
        QPDFObjectHandle item = value.getArrayItem(i);
        if (!item.isNumber())
            return std::nullopt;
        v[i] = item.getNumericValue();
        if (!std::isfinite(v[i]))
            return std::nullopt;
    }
    const QRectF box = RectMath::standardized(QRectF(v[0], v[1], v[2] - v[0], v[3] - v[1]));
    if (!(box.width() > 0) || !(box.height() > 0))
        return std::nullopt;
    return box;
}

// A box clipped to the media box, or fallback when it is missing or lies outside it.
QRectF clippedBox(QPDFObjectHandle value, const QRectF& media, const QRectF& fallback) {
    const auto box = boxValue(value);
    if (!box)
        return fallback;
    const auto clipped = RectMath::intersection(*box, media);
    if (!clipped || !(clipped->width() > 0) || !(clipped->height() > 0))
        return fallback;
    return *clipped;
}

// The value under key of a dictionary; null for anything else, without the warning qpdf gives
// for looking into what is not a dictionary.
QPDFObjectHandle entry(QPDFObjectHandle dictionary, const char* key) {
    return dictionary.isDictionary() ? dictionary.getKey(key) : QPDFObjectHandle::newNull();
}

// What the page's own entry keeps (OriginalBoxesEntry); null when it has none.
QPDFObjectHandle keptEntry(QPDFObjectHandle page) {
    return entry(entry(entry(page, OriginalBoxesEntry::kPieceInfo), OriginalBoxesEntry::kOwnKey),
                 OriginalBoxesEntry::kPrivate);
}

// The boxes kept in the page's own entry, all five of them boxes with area, or nothing.
std::optional<std::array<QRectF, kPdfBoxCount>> keptOriginal(QPDFObjectHandle page) {
    const QPDFObjectHandle kept = keptEntry(page);
    std::array<QRectF, kPdfBoxCount> boxes;
    for (int box = 0; box < kPdfBoxCount; ++box) {
        const auto value = boxValue(entry(kept, kPdfBoxKeys[box]));
        if (!value)
            return std::nullopt;
        boxes[static_cast<size_t>(box)] = *value;
    }
    return boxes;
}

// The part the page is of a page split, as kept beside its kept boxes; nothing for numbers
// that cannot be a part's.
std::optional<PagePart> keptPart(QPDFObjectHandle page) {
    QPDFObjectHandle value = entry(keptEntry(page), OriginalBoxesEntry::kPart);
    if (!value.isArray() || value.getArrayNItems() != 3)
        return std::nullopt;
    int numbers[3];
    for (int i = 0; i < 3; ++i) {
        QPDFObjectHandle item = value.getArrayItem(i);
        if (!item.isInteger() || item.getIntValue() < 0 || item.getIntValue() > INT_MAX)
            return std::nullopt;
        numbers[i] = static_cast<int>(item.getIntValue());
    }
    const PagePart part{numbers[0], numbers[1], numbers[2]};
    return part.isValid() ? std::optional(part) : std::nullopt;
}

int rotationValue(QPDFObjectHandle value) {
    return value.isNumber() ? PageGeometry::normalizedRotation(value.getNumericValue()) : 0;
}

} // namespace

PageGeometry read(const QPDFObjectHandle& page) {
    static const QRectF letter(0, 0, 612, 792);
    PageGeometry geometry;
    geometry.rotation = rotationValue(attribute(page, "/Rotate", true));
    const QRectF media = boxValue(attribute(page, "/MediaBox", true)).value_or(letter);
    const QRectF crop = clippedBox(attribute(page, "/CropBox", true), media, media);
    geometry.box(PdfBox::Media) = media;
    geometry.box(PdfBox::Crop) = crop;
    geometry.box(PdfBox::Bleed) = clippedBox(attribute(page, "/BleedBox", false), media, crop);
    geometry.box(PdfBox::Trim) = clippedBox(attribute(page, "/TrimBox", false), media, crop);
    geometry.box(PdfBox::Art) = clippedBox(attribute(page, "/ArtBox", false), media, crop);
    geometry.damaged = !QPDFObjectHandle(page).isDictionary();
    geometry.keptOriginal = keptOriginal(page);
    // A part's number means nothing without the boxes of the page it was split from.
    if (geometry.keptOriginal)
        geometry.part = keptPart(page);
    return geometry;
}

std::vector<PageGeometry> readAll(const std::vector<QPDFObjectHandle>& pages) {
    std::vector<PageGeometry> geometry;
    geometry.reserve(pages.size());
    for (const QPDFObjectHandle& page : pages) {
        geometry.push_back(read(page));
        geometry.back().filePage = static_cast<int>(geometry.size()) - 1;
    }
    return geometry;
}

} // namespace QpdfPageReader
