// Writes the starting corpus of every fuzz target into <folder>/<target>/: the damaged files
// of the bad-input tests and good files of many layouts for the loader, selection lists as
// the page range sheet makes them, page and crop rectangles of every rotation, and a message
// of every kind the render host exchanges. Made afresh, nothing downloaded.

#include "fuzz/RenderHostMessageSeeds.h"
#include "tests/support/BadPdfCorpus.h"
#include "tests/support/TestPdfBuilder.h"

#include <QDir>
#include <QRectF>

#include <array>
#include <cstdio>
#include <cstring>

namespace {

void writeSeeds(const QString& folder, const std::vector<BadPdf>& seeds) {
    QDir().mkpath(folder);
    for (const BadPdf& seed : seeds)
        writeFile(QDir(folder).filePath(seed.name), seed.bytes);
}

std::vector<BadPdf> pdfSeeds() {
    std::vector<BadPdf> seeds = badPdfCorpus();
    TestPage page;
    page.content = "BT /F1 24 Tf 72 720 Td (Page) Tj ET";
    page.linkToFirstPage = QRectF(72, 72, 100, 20);
    const auto shaped = [] {
        TestPdfBuilder builder;
        const int group = builder.addGroup(
            {.mediaBox = QRectF(-100, -50, 500, 700), .cropBox = {}, .rotate = 90});
        builder.addPage({.mediaBox = {}, .group = group});
        builder.addPage({.cropBox = QRectF(50, 50, 300, 300),
                         .bleedBox = QRectF(40, 40, 320, 320),
                         .rotate = 270});
        builder.addPage({.mediaBox = QRectF(612, 792, -612, -792), .rotate = 180});
        return builder;
    };
    seeds.push_back({"shapes", shaped().bytes()});
    seeds.push_back({"object-streams", shaped().layOut({.objectStreams = true}).bytes()});
    seeds.push_back(
        {"hybrid", shaped().layOut({.objectStreams = true, .hybridXref = true}).bytes()});
    seeds.push_back({"linearized", shaped().layOut({.linearized = true}).bytes()});
    seeds.push_back({"updated", shaped().layOut({.earlierUpdates = 2}).bytes()});
    seeds.push_back(
        {"encrypted-open", TestPdfBuilder().addPages(2, page).encrypt("", "owner").bytes()});
    seeds.push_back({"outline", TestPdfBuilder().addPages(3, page).outline("Start", 2).bytes()});
    return seeds;
}

std::vector<BadPdf> selectionSeeds() {
    return {
        {"all", "7 P\n+ All Pages\n"},
        {"odd-even", "9 PL\n+ Odd Pages\n+ Even Pages\n"},
        {"shapes", "12 PLLP\n+ Portrait Pages\n+ Landscape Pages\n"},
        {"ranges", "20 P\n3 - 7\n15 - 9\n18 - 99\n"},
        {"mixed", "30 PPL\n+ Odd Pages\n2 - 4\n+ Landscape Pages\n"},
        {"empty", "5 L\n"},
    };
}

BadPdf rectangles(const char* name, int quarterTurns, const std::array<double, 16>& values) {
    QByteArray bytes(1, char(quarterTurns));
    bytes.append(reinterpret_cast<const char*>(values.data()), qsizetype(sizeof values));
    return {QString::fromLatin1(name), bytes};
}

std::vector<BadPdf> geometrySeeds() {
    return {
        rectangles("letter", 0, {0, 0, 612, 792, 72, 72, 400, 500, 0, 0, 612, 792, 0, 0, 595, 842}),
        rectangles("turned", 1,
                   {-20, 30, 612, 792, 10, 20, 700, 500, 0, 0, 842, 595, 0, 0, 612, 792}),
        rectangles("upside-down", 2,
                   {100, 100, 300, 200, 0, 0, 300, 200, 0, 0, 300, 200, 0, 0, 10, 10}),
        rectangles("line", 3, {0, 0, 0, 792, 0, 0, 0, 100, 0, 0, 0, 792, 0, 0, 612, 0}),
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    writeSeeds(out.filePath("fuzz_qpdf_loader"), pdfSeeds());
    writeSeeds(out.filePath("fuzz_page_selection"), selectionSeeds());
    writeSeeds(out.filePath("fuzz_crop_geometry"), geometrySeeds());
    writeSeeds(out.filePath("fuzz_render_host_protocol"), renderHostMessageSeeds());
    return 0;
}
