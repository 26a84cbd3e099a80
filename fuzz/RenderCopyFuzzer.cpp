// Untrusted bytes through the render host's rewrite (its --rewrite task): qpdf writes a copy
// of the document for MuPDF to draw when MuPDF cannot draw the document itself. Whatever the
// bytes, a copy made has exactly the pages qpdf reads in the document and needs no password,
// and when it has pages, MuPDF reads it with those pages and draws its first one. The first page
// alone, as the host reads it to show a large document early, is the first page of all of them.

#include "crop/PagesRead.h"
#include "crop/QpdfRenderCopy.h"
#include "fuzz/FuzzRequire.h"
#include "render/MupdfRasterizer.h"

#include <cstdint>

namespace {

bool sameGeometry(const PageGeometry& a, const PageGeometry& b) {
    return a.rotation == b.rotation && a.damaged == b.damaged && a.boxes == b.boxes &&
           a.keptOriginal == b.keptOriginal;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto source = PdfSourceData::fromBytes(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const PagesRead read = readPagesHere(*source, QByteArray());
    const PagesRead first = readFirstPageHere(*source, QByteArray());
    if (read.outcome == PagesRead::Outcome::Read && first.outcome == PagesRead::Outcome::Read &&
        !first.pages.empty())
        FUZZ_REQUIRE(!read.pages.empty() && sameGeometry(first.pages[0], read.pages[0]));

    const std::optional<PdfRenderSource> copy = QpdfRenderCopy::of({source, QByteArray()});
    if (!copy)
        return 0;
    FUZZ_REQUIRE(copy->password.isEmpty());
    const PagesRead copied = readPagesHere(*copy->data, QByteArray());
    FUZZ_REQUIRE(copied.outcome == PagesRead::Outcome::Read);
    if (read.outcome == PagesRead::Outcome::Read)
        FUZZ_REQUIRE(copied.pages.size() == read.pages.size());

    // Only a document with pages opens, and only an open document is drawn from its copy.
    if (copied.pages.empty())
        return 0;
    MupdfRasterizer rasterizer(*copy);
    FUZZ_REQUIRE(rasterizer.pageCount() == int(copied.pages.size()));
    const QRectF media = copied.pages[0].box(PdfBox::Media);
    const PageRenderResult picture = rasterizer.render({0, media, 0, QSize(32, 32), 1}, {});
    FUZZ_REQUIRE(!picture.image.isNull() || !picture.error.isEmpty());
    return 0;
}
