#include "crop/QpdfUpdateCheck.h"

#include "crop/QpdfParser.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <algorithm>
#include <cmath>

namespace QpdfUpdateCheck {

namespace {

// Boxes are written with six decimals, so a value read back may differ by half a millionth.
bool nearlyEqual(double read, double expected) {
    return std::abs(read - expected) <= 1e-6 * std::max(1.0, std::abs(expected));
}

bool holdsBox(QPDFObjectHandle page, const char* key, const QRectF& box) {
    QPDFObjectHandle value = page.getKey(key);
    if (!value.isRectangle())
        return false;
    const auto r = value.getArrayAsRectangle();
    return nearlyEqual(r.llx, box.left()) && nearlyEqual(r.lly, box.top()) &&
           nearlyEqual(r.urx, box.right()) && nearlyEqual(r.ury, box.bottom());
}

bool holdsSetBoxes(QPDFObjectHandle page, const PageGeometry& geometry, std::uint8_t setBoxes) {
    for (int box = 0; box < kPdfBoxCount; ++box) {
        if ((setBoxes & (1u << box)) &&
            !holdsBox(page, kPdfBoxKeys[box], geometry.boxes[static_cast<size_t>(box)]))
            return false;
    }
    return true;
}

} // namespace

bool readsBack(const PdfSourceData& data, const QByteArray& appended, const QByteArray& password,
               const std::vector<QPDFObjectHandle>& pages,
               const std::vector<PageGeometry>& geometry,
               const std::vector<std::uint8_t>& setBoxes) {
    try {
        auto pdf = QpdfParser::parseStrictly(data, appended, password);
        pdf->getRoot();
        const auto isSet = [](std::uint8_t set) { return set != 0; };
        const auto first = std::find_if(setBoxes.begin(), setBoxes.end(), isSet);
        if (first != setBoxes.end()) {
            const auto last = std::find_if(setBoxes.rbegin(), setBoxes.rend(), isSet);
            for (const auto i : {static_cast<size_t>(first - setBoxes.begin()),
                                 static_cast<size_t>(setBoxes.rend() - last) - 1}) {
                if (!holdsSetBoxes(pdf->getObject(pages[i].getObjGen()), geometry[i], setBoxes[i]))
                    return false;
            }
        }
        return !pdf->anyWarnings();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace QpdfUpdateCheck
