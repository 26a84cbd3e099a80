#include "crop/QpdfReadBack.h"

#include "crop/JoinedInputSource.h"
#include "crop/QpdfPageLayout.h"
#include "crop/QpdfPageReader.h"
#include "crop/QpdfParser.h"
#include "crop/QpdfStreamCheck.h"
#include "crop/ReadBackBaseline.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFTokenizer.hh>
#include <qpdf/QPDFXRefEntry.hh>

#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
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

// Whether pdf's pages are the document's, every one holding its boxes.
bool holdsAllPages(QPDF& pdf, const std::vector<PageGeometry>& geometry,
                   const std::vector<std::uint8_t>& setBoxes) {
    const std::vector<QPDFObjectHandle>& pages = pdf.getAllPages();
    if (pages.size() != geometry.size())
        return false;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (!holdsPage(pages[i], geometry[i], setBoxes[i]))
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

bool sameEntry(const QPDFXRefEntry& a, const QPDFXRefEntry& b) {
    if (a.getType() != b.getType())
        return false;
    if (a.getType() == 1)
        return a.getOffset() == b.getOffset();
    if (a.getType() == 2) {
        return a.getObjStreamNumber() == b.getObjStreamNumber() &&
               a.getObjStreamIndex() == b.getObjStreamIndex();
    }
    return true;
}

bool isNumber(const QPDFTokenizer::Token& token, int value) {
    return token.isInteger() && QByteArray::fromStdString(token.getValue()).toLongLong() == value;
}

// The dictionary object id at offset of input, read as qpdf reads an object of a file ("N G
// obj", the object, "endobj") but not kept by pdf: a parse keeps every object it reads, which
// for every page of a large update takes far longer than reading them, and hundreds of
// megabytes. Throws as qpdf does on what does not read.
std::optional<QPDFObjectHandle> dictionaryAt(QPDF& pdf, const std::shared_ptr<InputSource>& input,
                                             qpdf_offset_t offset, QPDFObjGen id) {
    static const std::string kDescription = "an updated page";
    QPDFTokenizer tokenizer;
    input->seek(offset, SEEK_SET);
    if (!isNumber(tokenizer.readToken(input, kDescription), id.getObj()) ||
        !isNumber(tokenizer.readToken(input, kDescription), id.getGen()) ||
        !tokenizer.readToken(input, kDescription).isWord("obj"))
        return std::nullopt;
    bool empty = false;
    QPDFObjectHandle object =
        QPDFObjectHandle::parse(input, kDescription, tokenizer, empty, nullptr, &pdf);
    if (empty || !object.isDictionary() ||
        !tokenizer.readToken(input, kDescription).isWord("endobj"))
        return std::nullopt;
    return object;
}

// Whether pdf, data followed by an update appended to it, finds every object where data has
// it but the dictionaries of pages, each in the update and holding its boxes, and the update's
// cross-reference stream. The page tree is then data's, node for node, and so is every page
// the update leaves alone: reading the updated pages reads all that changed.
bool holdsUpdate(QPDF& pdf, const PdfSourceData& data, const QByteArray& appended,
                 const QByteArray& password, const std::vector<QPDFObjectHandle>& pages,
                 const std::vector<PageGeometry>& geometry,
                 const std::vector<std::uint8_t>& setBoxes) {
    const auto source = QpdfParser::parseStrictly(data, {}, password);
    const std::map<QPDFObjGen, QPDFXRefEntry> sourceEntries = source->getXRefTable();
    std::map<QPDFObjGen, size_t> updated;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (setBoxes[i])
            updated.emplace(pages[i].getObjGen(), i);
    }
    const auto input = std::make_shared<JoinedInputSource>(data.bytes(), appended,
                                                           data.description().toStdString());
    size_t held = 0;
    for (const auto& [id, entry] : pdf.getXRefTable()) {
        const auto was = sourceEntries.find(id);
        if (was != sourceEntries.end() && sameEntry(was->second, entry))
            continue;
        if (entry.getType() != 1 || entry.getOffset() < data.size())
            return false;
        const auto page = updated.find(id);
        if (page == updated.end()) {
            if (!pdf.getObject(id).isStream())
                return false;
            continue;
        }
        auto object = dictionaryAt(pdf, input, entry.getOffset(), id);
        const size_t i = page->second;
        if (!object || object->hasKey("/Kids") || !holdsPage(*object, geometry[i], setBoxes[i]))
            return false;
        ++held;
    }
    return held == updated.size();
}

} // namespace

bool updateReadsBack(const PdfSourceData& data, const QByteArray& appended,
                     const QByteArray& password, const std::vector<QPDFObjectHandle>& pages,
                     const std::vector<PageGeometry>& geometry,
                     const std::vector<std::uint8_t>& setBoxes) {
    // The update writes no stream but its cross-reference stream, which the parse reads.
    ReadBackBaseline source(data, password);
    // Pages split or joined change the page tree, which is then read whole, as are the pages.
    if (!QpdfPageLayout::keepsFileOrder(geometry, pages.size())) {
        return readsStrictly(data, appended, password, source,
                             [&](QPDF& pdf) { return holdsAllPages(pdf, geometry, setBoxes); });
    }
    return readsStrictly(data, appended, password, source, [&](QPDF& pdf) {
        return holdsUpdate(pdf, data, appended, password, pages, geometry, setBoxes);
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
    const auto holdsPages = [&](QPDF& pdf) { return holdsAllPages(pdf, geometry, setBoxes); };
    ReadBackBaseline baseline(source, password);
    if (written.isUpdate()) {
        // What the update appended was read back in memory before it was written
        // (updateReadsBack), and must be in the file byte for byte. The source's bytes before it,
        // copied by the system, are read as a strict reader reads them from the update on: the
        // cross-reference sections, the trailers and the catalog. Comparing them all instead
        // would read every byte of a scan hundreds of megabytes large once more.
        const qint64 from = written.from();
        return from == source.size() && file.size() == from + written.appended().size() &&
               file.bytes().sliced(from) == written.appended() &&
               readsStrictly(file, {}, password, baseline, [](QPDF&) { return true; });
    }
    return readsStrictly(file, {}, password, baseline, holdsPages, &written);
}

bool removalReadsBack(const PdfSourceData& file, const QByteArray& password,
                      const std::vector<PageGeometry>& geometry) {
    // The boxes are written anew by the renderer, to about six significant digits.
    const auto close = [](const QRectF& read, const QRectF& expected) {
        const QRectF gap(read.topLeft() - expected.topLeft(),
                         read.bottomRight() - expected.bottomRight());
        constexpr double kSlack = 0.01;
        return std::abs(gap.left()) <= kSlack && std::abs(gap.top()) <= kSlack &&
               std::abs(gap.width()) <= kSlack && std::abs(gap.height()) <= kSlack;
    };
    try {
        auto pdf = QpdfParser::parseStrictly(file, {}, password);
        const auto dropped = qScopeGuard([&pdf] { QpdfParser::drop(std::move(pdf)); });
        const std::vector<QPDFObjectHandle>& pages = pdf->getAllPages();
        if (pages.size() != geometry.size())
            return false;
        for (size_t i = 0; i < pages.size(); ++i) {
            const PageGeometry read = QpdfPageReader::read(pages[i]);
            const QRectF shown =
                geometry[i].box(PdfBox::Crop).intersected(geometry[i].box(PdfBox::Media));
            if (read.rotation != geometry[i].rotation || !close(read.box(PdfBox::Media), shown) ||
                !close(read.box(PdfBox::Crop), shown))
                return false;
        }
        for (const auto& [id, entry] : pdf->getXRefTable()) {
            QPDFObjectHandle object = pdf->getObject(id);
            if (object.isStream() && !QpdfStreamCheck::reads(*pdf, object))
                return false;
        }
        return pdf->getWarnings().empty();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace QpdfReadBack
