#include "crop/QpdfParser.h"

#include "crop/JoinedInputSource.h"
#include "crop/QpdfPageReader.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

// Any C library header says which library this is.
#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace QpdfParser {

namespace {

std::unique_ptr<QPDF> process(const PdfSourceData& data, QByteArrayView appended,
                              const QByteArray& password, bool attemptRecovery) {
    auto input = std::make_shared<JoinedInputSource>(data.bytes(), appended,
                                                     data.description().toStdString());
    auto pdf = std::make_unique<QPDF>();
    pdf->setSuppressWarnings(true);
    pdf->setAttemptRecovery(attemptRecovery);
    pdf->processInputSource(input, password.isNull() ? nullptr : password.constData());
    return pdf;
}

// glibc keeps the memory a program frees for its later allocations, and gives back by itself
// only what lies at the top of the heap: a parse's objects, freed below ones that outlive it,
// would be counted against the program for as long as it runs. Trimming takes milliseconds.
void releaseFreeMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// Parses kept for the process's end; held from here so that a leak checker sees them held.
std::vector<std::unique_ptr<QPDF>>* leftToProcessEnd = nullptr;

} // namespace

void leaveLastParsesToProcessEnd() {
    if (!leftToProcessEnd)
        leftToProcessEnd = new std::vector<std::unique_ptr<QPDF>>;
}

void drop(std::unique_ptr<QPDF> pdf) {
    if (leftToProcessEnd)
        leftToProcessEnd->push_back(std::move(pdf));
}

std::unique_ptr<QPDF> parse(const PdfSourceData& data, const QByteArray& password) {
    return process(data, {}, password, true);
}

std::unique_ptr<QPDF> parseStrictly(const PdfSourceData& data, const QByteArray& appended,
                                    const QByteArray& password) {
    return process(data, appended, password, false);
}

std::vector<PageGeometry> readPages(const PdfSourceData& data, const QByteArray& password) {
    auto pdf = parse(data, password);
    std::vector<PageGeometry> geometry = QpdfPageReader::readAll(pdf->getAllPages());
    drop(std::move(pdf));
    if (!leftToProcessEnd)
        releaseFreeMemory();
    return geometry;
}

std::optional<PageGeometry> readFirstPage(const PdfSourceData& data, const QByteArray& password) {
    const auto pdf = parse(data, password);
    QPDFObjectHandle node = pdf->getRoot().getKey("/Pages");
    // Down the first kids to the first page, as deep as a sane tree goes and no deeper: a
    // damaged tree may loop. The tree is read as readPages() reads it, or the page found here
    // would not be its first page: the root is a node, and a kid a node when it has kids at
    // all. Where that reading would look elsewhere, past a node without kids to the next, or
    // up from a root with a parent (taken for a node the catalog points into by mistake),
    // nothing is found here.
    if (node.isDictionary() && node.hasKey("/Parent"))
        return std::nullopt;
    for (int depth = 0; depth < 64 && node.isDictionary(); ++depth) {
        QPDFObjectHandle kids = node.getKey("/Kids");
        if (!kids.isArray() || kids.getArrayNItems() == 0)
            return std::nullopt;
        QPDFObjectHandle kid = kids.getArrayItem(0);
        if (kid.isDictionary() && !kid.hasKey("/Kids"))
            return QpdfPageReader::read(kid);
        node = kid;
    }
    return std::nullopt;
}

} // namespace QpdfParser
