// Untrusted bytes through the render host's repair (its --repair task): MuPDF writes out again
// whole a document that the document services find too damaged to read, and they open the
// copy in its place. Whatever the bytes, a repaired copy whose pages the document services
// read opens with those pages and needs no password. (MuPDF writes the pages it could not
// find as it found them, as nothing or as other objects, so the copy of a file whose pages
// are lost has them lost too.)

#include "crop/PagesRead.h"
#include "crop/QpdfLoader.h"
#include "fuzz/FuzzRequire.h"
#include "render/MupdfRepair.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<QByteArray> repaired = MupdfRepair::repairedCopy(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!repaired)
        return 0;
    const PagesRead read = readPagesHere(*PdfSourceData::fromBytes(*repaired), QByteArray());
    if (read.outcome != PagesRead::Outcome::Read || read.pages.empty())
        return 0;
    const PdfOpenResult opened = QpdfLoader().openBytes(*repaired, QStringLiteral("repaired.pdf"));
    FUZZ_REQUIRE(opened.ok() && !opened.document->isLocked());
    FUZZ_REQUIRE(opened.document->pageCount() == int(read.pages.size()));
    return 0;
}
