// Writes the starting corpus of every fuzz target into <folder>/<target>/: the damaged files
// of the bad-input tests and good files of many layouts for the targets that read documents
// (with the choices of page and box at their end for those that draw and measure), selection
// lists as the page range sheet makes them, page and crop rectangles of every rotation, a
// message of every kind the render host exchanges, pictures of scans, requests of the instance
// channel and command lines. Made afresh, nothing downloaded.

#include "fuzz/RenderHostMessageSeeds.h"
#include "platform/InstanceRequest.h"
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

// Each document followed by the choices of the drawing target: page 1, upright, the letter
// page's box (76 x 99 steps of 8 points), 48 x 62 pixels (halved); and for the file of many
// shapes, its other pages, turned, and a part of a page beyond its edge.
std::vector<BadPdf> drawingSeeds() {
    std::vector<BadPdf> seeds;
    for (BadPdf seed : pdfSeeds()) {
        if (seed.name == QLatin1String("shapes")) {
            seeds.push_back(
                {"shapes-page-2", seed.bytes + QByteArray("\x01\x02\x06\x06\x25\x25\x40\x40", 8)});
            seeds.push_back(
                {"shapes-page-3", seed.bytes + QByteArray("\x02\xfe\xf0\xf0\x60\x60\x7e\x30", 8)});
        }
        seed.bytes += QByteArray("\x00\x00\x00\x00\x4c\x63\x60\x7c", 8);
        seeds.push_back(seed);
    }
    return seeds;
}

// Each document followed by the choices of the content bounds target: page 1, each way of
// finding content in turn, the threshold and smallest spot the program asks for, and the media
// box or, every other document, the right half of a letter page.
std::vector<BadPdf> measuringSeeds() {
    std::vector<BadPdf> seeds = pdfSeeds();
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        seeds[i].bytes += QByteArray(1, 0) + char(i % 3) + QByteArray("\xe0\x06", 2) +
                          (i % 2 ? QByteArray("\x3d\x00", 2) : QByteArray(2, 0));
    }
    return seeds;
}

// Pictures as the ink bounds target reads them: the width, threshold and smallest spot, then
// gray pixels. A scan of a printed block, with a dark border and dust; a blank one; one dark
// all over.
std::vector<BadPdf> inkSeeds() {
    constexpr int side = 40;
    QByteArray scan(side * side, char(250));
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            if (x < 2 || y == side - 1)
                scan[y * side + x] = char(20);
            else if (x >= 10 && x < 30 && y >= 8 && y < 32 && (x + y) % 3 != 0)
                scan[y * side + x] = char(60);
        }
    }
    scan[5 * side + 35] = char(0);
    const QByteArray header = QByteArray(1, char(side - 1)) + QByteArray("\xe0\x06", 2);
    return {
        {"scan", header + scan},
        {"blank", header + QByteArray(side * side, char(255))},
        {"dark", header + QByteArray(side * side, char(0))},
    };
}

std::vector<BadPdf> instanceRequestSeeds() {
    return {
        {"none", InstanceRequest::encode({})},
        {"two", InstanceRequest::encode({"/home/me/a.pdf", "/tmp/b c.pdf"})},
        {"odd-names", InstanceRequest::encode({QString(), "", "/ü/€/\u00e9.pdf"})},
    };
}

// Arguments separated by NUL bytes.
BadPdf arguments(const char* name, const QStringList& list) {
    return {QString::fromLatin1(name), list.join(QChar(0)).toUtf8()};
}

std::vector<BadPdf> commandLineSeeds() {
    return {
        arguments("margins", {"--margins", "10mm,0.5in,5%,12", "in.pdf"}),
        arguments("box", {"--box=72,72,400pt,50%", "--pages", "odd,3-7,landscape", "-o", "o.pdf",
                          "in.pdf"}),
        arguments("fit", {"--fit-content", "--pad", "2mm", "--same-size", "--jobs", "3",
                          "--dry-run", "a.pdf", "b.pdf"}),
        arguments("restore", {"--restore", "--password", "secret", "--", "-dash.pdf"}),
        arguments("windows", {"-platform", "offscreen", "file:///tmp/a%20b.pdf", "rel.pdf"}),
        arguments("help", {"--help"}),
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
    writeSeeds(out.filePath("fuzz_page_drawing"), drawingSeeds());
    writeSeeds(out.filePath("fuzz_content_bounds"), measuringSeeds());
    writeSeeds(out.filePath("fuzz_ink_bounds"), inkSeeds());
    writeSeeds(out.filePath("fuzz_render_copy"), pdfSeeds());
    writeSeeds(out.filePath("fuzz_repair"), pdfSeeds());
    writeSeeds(out.filePath("fuzz_outside_removal"), pdfSeeds());
    writeSeeds(out.filePath("fuzz_instance_request"), instanceRequestSeeds());
    writeSeeds(out.filePath("fuzz_command_line"), commandLineSeeds());
    return 0;
}
