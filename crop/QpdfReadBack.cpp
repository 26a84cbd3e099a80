#include "crop/QpdfReadBack.h"

#include "crop/QpdfPageReader.h"
#include "crop/QpdfParser.h"
#include "crop/QpdfStreamCheck.h"
#include "crop/ReadBackBaseline.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

namespace QpdfReadBack {

namespace {

// Boxes are written with six decimals, so a value read back may differ by half a millionth.
bool nearlyEqual(double read, double expected) {
    return std::abs(read - expected) <= 1e-6 * std::max(1.0, std::abs(expected));
}

bool sameBox(const QRectF& read, const QRectF& expected) {
    return nearlyEqual(read.left(), expected.left()) && nearlyEqual(read.top(), expected.top()) &&
           nearlyEqual(read.right(), expected.right()) &&
           nearlyEqual(read.bottom(), expected.bottom());
}

// A set box is compared as written rather than as readers clip it, so that a box set beyond
// the page's media box still reads back as the one the document holds.
bool holdsWrittenBox(QPDFObjectHandle page, const char* key, const QRectF& box) {
    QPDFObjectHandle value = page.getKey(key);
    if (!value.isRectangle())
        return false;
    const auto r = value.getArrayAsRectangle();
    return sameBox(QRectF(QPointF(r.llx, r.lly), QPointF(r.urx, r.ury)), box);
}

bool holdsPage(QPDFObjectHandle page, const PageGeometry& geometry, std::uint8_t setBoxes) {
    const auto isSet = [setBoxes](PdfBox box) { return setBoxes & (1u << static_cast<int>(box)); };
    const PageGeometry read = QpdfPageReader::read(page);
    if (read.rotation != geometry.rotation)
        return false;
    if (!isSet(PdfBox::Media) && !sameBox(read.box(PdfBox::Media), geometry.box(PdfBox::Media)))
        return false;
    if (!isSet(PdfBox::Media) && !isSet(PdfBox::Crop) &&
        !sameBox(read.box(PdfBox::Crop), geometry.box(PdfBox::Crop)))
        return false;
    for (int box = 0; box < kPdfBoxCount; ++box) {
        if (isSet(static_cast<PdfBox>(box)) &&
            !holdsWrittenBox(page, kPdfBoxKeys[box], geometry.boxes[static_cast<size_t>(box)]))
            return false;
    }
    return true;
}

// The streams of pdf at or after where the save's own bytes start, with the source objects
// they were copied from.
using Streams = std::vector<std::pair<QPDFObjectHandle, std::optional<WrittenObjects::Id>>>;

Streams writtenStreams(QPDF& pdf, const WrittenObjects& written) {
    Streams streams;
    for (const auto& [id, entry] : pdf.getXRefTable()) {
        if (entry.getType() != 1 || entry.getOffset() < written.from())
            continue;
        QPDFObjectHandle object = pdf.getObject(id);
        if (object.isStream())
            streams.emplace_back(object, written.source({id.getObj(), id.getGen()}));
    }
    return streams;
}

// Reads data and appended strictly and asks holdsPages about the result. qpdf's exceptions
// make it false, and so does a warning that the source does not give, even in what
// holdsPages read; and, with written, a stream the save wrote whose data does not read,
// unless it did not in the source either.
bool readsStrictly(const PdfSourceData& data, const QByteArray& appended,
                   const QByteArray& password, ReadBackBaseline& source,
                   const std::function<bool(QPDF&)>& holdsPages,
                   const WrittenObjects* written = nullptr) {
    try {
        auto pdf = QpdfParser::parseStrictly(data, appended, password);
        const auto dropped = qScopeGuard([&pdf] { QpdfParser::drop(std::move(pdf)); });
        pdf->getRoot();
        if (!holdsPages(*pdf))
            return false;
        const Streams streams = written ? writtenStreams(*pdf, *written) : Streams();
        const std::vector<QPDFExc> warnings = pdf->getWarnings();
        if (!warnings.empty() && !source.hasProblems(warnings))
            return false;
        for (const auto& [stream, original] : streams) {
            if (!QpdfStreamCheck::reads(*pdf, stream) &&
                (!original || source.streamReads(*original)))
                return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

bool updateReadsBack(const PdfSourceData& data, const QByteArray& appended,
                     const QByteArray& password, const std::vector<QPDFObjectHandle>& pages,
                     const std::vector<PageGeometry>& geometry,
                     const std::vector<std::uint8_t>& setBoxes) {
    // The update's streams are left to the read-back of the file it goes into: finding which
    // of its objects are streams would read every page it rewrote, and it writes only page
    // dictionaries besides its cross-reference section, which is read here as it is.
    ReadBackBaseline source(data, password);
    return readsStrictly(data, appended, password, source, [&](QPDF& pdf) {
        const auto isSet = [](std::uint8_t set) { return set != 0; };
        const auto first = std::find_if(setBoxes.begin(), setBoxes.end(), isSet);
        if (first == setBoxes.end())
            return true;
        const auto last = std::find_if(setBoxes.rbegin(), setBoxes.rend(), isSet);
        for (const auto i : {static_cast<size_t>(first - setBoxes.begin()),
                             static_cast<size_t>(setBoxes.rend() - last) - 1}) {
            if (!holdsPage(pdf.getObject(pages[i].getObjGen()), geometry[i], setBoxes[i]))
                return false;
        }
        return true;
    });
}

bool fileReadsBack(const QString& path, const PdfSourceData& source, const QByteArray& password,
                   const std::vector<PageGeometry>& geometry,
                   const std::vector<std::uint8_t>& setBoxes, const WrittenObjects& written) {
    const auto data = PdfSourceData::mapFile(path, nullptr);
    return data && fileReadsBack(*data, source, password, geometry, setBoxes, written);
}

bool fileReadsBack(const PdfSourceData& file, const PdfSourceData& source,
                   const QByteArray& password, const std::vector<PageGeometry>& geometry,
                   const std::vector<std::uint8_t>& setBoxes, const WrittenObjects& written) {
    const auto holdsPages = [&](QPDF& pdf) {
        const std::vector<QPDFObjectHandle>& pages = pdf.getAllPages();
        if (pages.size() != geometry.size())
            return false;
        for (size_t i = 0; i < pages.size(); ++i) {
            if (!holdsPage(pages[i], geometry[i], setBoxes[i]))
                return false;
        }
        return true;
    };
    ReadBackBaseline baseline(source, password);
    return readsStrictly(file, {}, password, baseline, holdsPages, &written);
}

} // namespace QpdfReadBack
