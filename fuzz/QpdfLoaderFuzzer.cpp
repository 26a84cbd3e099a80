// Untrusted bytes through what a user does with a file: open it, crop its pages and save.
// Whatever the bytes, opening either fails with a message or gives pages, and a save that
// makes bytes makes a file that opens again with the same pages and the crops it was given.

#include "crop/QpdfLoader.h"
#include "fuzz/FuzzRequire.h"

#include <QRectF>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Enough pages to reach the writer's per-page work without making big files slow to fuzz.
constexpr int kCroppedPages = 8;

QRectF insetByTenth(const QRectF& r) {
    return r.adjusted(r.width() / 10, r.height() / 10, -r.width() / 10, -r.height() / 10);
}

// The six decimals boxes are written with, relative to the size of the number.
bool readsBackAs(const QRectF& read, const QRectF& set) {
    const auto near = [](double a, double b) {
        return std::abs(a - b) <= 1e-5 * std::max(1.0, std::abs(b));
    };
    return near(read.left(), set.left()) && near(read.bottom(), set.bottom()) &&
           near(read.right(), set.right()) && near(read.top(), set.top());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    PdfOpenResult opened = QpdfLoader().openBytes(std::move(bytes), QStringLiteral("fuzz.pdf"));
    if (!opened.ok()) {
        FUZZ_REQUIRE(!opened.message.isEmpty());
        return 0;
    }
    PdfDocument& document = *opened.document;
    // Files encrypted for no password are common; others stay locked and have no pages.
    if (document.isLocked() && !document.unlockWithPassword(QString()))
        return 0;
    FUZZ_REQUIRE(document.pageCount() > 0);

    const int cropped = std::min(document.pageCount(), kCroppedPages);
    for (int i = 0; i < cropped; ++i) {
        const QRectF crop = insetByTenth(document.boundsForBox(i, PdfBox::Media));
        if (std::isfinite(crop.width()) && std::isfinite(crop.height()))
            document.setBoundsForBox(i, crop, PdfBox::Crop);
    }
    // Corners given the wrong way round, as a drag up and to the left makes them.
    const QRectF media = document.boundsForBox(0, PdfBox::Media);
    document.setBoundsForBox(0, QRectF(media.bottomRight(), media.topLeft()), PdfBox::Art);

    const QByteArray saved = document.dataRepresentation();
    if (saved.isEmpty())
        return 0;
    PdfOpenResult reopened = QpdfLoader().openBytes(saved, QStringLiteral("saved.pdf"));
    FUZZ_REQUIRE(reopened.ok());
    PdfDocument& again = *reopened.document;
    FUZZ_REQUIRE(!again.isLocked() || again.unlockWithPassword(QString()));
    FUZZ_REQUIRE(again.pageCount() == document.pageCount());
    for (int i = 0; i < cropped; ++i) {
        const QRectF crop = document.boundsForBox(i, PdfBox::Crop);
        FUZZ_REQUIRE(readsBackAs(again.boundsForBox(i, PdfBox::Crop), crop));
    }
    return 0;
}
