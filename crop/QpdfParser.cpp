#include "crop/QpdfParser.h"

#include "crop/QpdfPageReader.h"

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDF.hh>

// Any C library header says which library this is.
#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace QpdfParser {

namespace {

// An input source that owns the Buffer object which wraps (without owning) the mapped bytes.
class MappedInputSource : public BufferInputSource {
public:
    MappedInputSource(const PdfSourceData& data, std::unique_ptr<Buffer> wrapped)
        : BufferInputSource(data.description().toStdString(), wrapped.get(), false),
          buffer_(std::move(wrapped)) {}

private:
    std::unique_ptr<Buffer> buffer_;
};

// glibc keeps the memory a program frees for its later allocations, and gives back by itself
// only what lies at the top of the heap: a parse's objects, freed below ones that outlive it,
// would be counted against the program for as long as it runs. Trimming takes milliseconds.
void releaseFreeMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

std::unique_ptr<QPDF> parse(const PdfSourceData& data, const QByteArray& password) {
    // qpdf only reads through the buffer; the const_cast is for its constructor's signature.
    auto buffer =
        std::make_unique<Buffer>(reinterpret_cast<unsigned char*>(const_cast<char*>(data.data())),
                                 static_cast<size_t>(data.size()));
    auto input = std::make_shared<MappedInputSource>(data, std::move(buffer));
    auto pdf = std::make_unique<QPDF>();
    pdf->setSuppressWarnings(true);
    pdf->setAttemptRecovery(true);
    pdf->processInputSource(input, password.isNull() ? nullptr : password.constData());
    return pdf;
}

std::vector<PageGeometry> readPages(const PdfSourceData& data, const QByteArray& password) {
    std::vector<PageGeometry> geometry;
    {
        const auto pdf = parse(data, password);
        const auto& pages = pdf->getAllPages();
        geometry.reserve(pages.size());
        for (const auto& page : pages)
            geometry.push_back(QpdfPageReader::read(page));
    }
    releaseFreeMemory();
    return geometry;
}

} // namespace QpdfParser
