#include "tests/support/BadPdfCorpus.h"

#include "tests/support/TestPdfBuilder.h"

#include <QRegularExpression>

namespace {

QByteArray goodFile(const TestPdfLayout& layout = {}) {
    TestPage page;
    page.content = "0 0 1 rg 100 100 400 500 re f BT /F1 24 Tf 72 720 Td (Page) Tj ET";
    return TestPdfBuilder().addPages(3, page).layOut(layout).bytes();
}

QByteArray replaced(QByteArray bytes, const char* pattern, const QByteArray& with) {
    return QString::fromLatin1(bytes)
        .replace(QRegularExpression(QString::fromLatin1(pattern)), QString::fromLatin1(with))
        .toLatin1();
}

// The number of the first object whose dictionary holds key, as qpdf wrote it.
QByteArray objectWith(const QByteArray& bytes, const char* key) {
    const QRegularExpression pattern(QString(R"((\d+) 0 obj\s*<<[^>]*?%1)").arg(key));
    return pattern.match(QString::fromLatin1(bytes)).captured(1).toLatin1();
}

} // namespace

std::vector<BadPdf> badPdfCorpus() {
    const QByteArray good = goodFile();
    std::vector<BadPdf> corpus;
    for (int percent : {1, 10, 25, 50, 75, 90, 99})
        corpus.push_back(
            {QString("cut-%1%").arg(percent), good.first(good.size() * percent / 100)});
    for (int i = 1; i <= 8; ++i) {
        QByteArray flipped = good;
        const qsizetype at = flipped.size() * i / 9;
        for (qsizetype j = at; j < std::min(at + 4, flipped.size()); ++j)
            flipped[j] = char(~flipped[j]);
        corpus.push_back({QString("flipped-%1").arg(i), flipped});
    }
    const QByteArray pages = objectWith(good, "/Type /Pages");
    struct Edit {
        const char* name;
        const char* pattern;
        QByteArray with;
    };
    const char* const box = R"(/MediaBox \[[^\]]*\])";
    const Edit edits[] = {
        {"xref-renamed", "\\bxref\\b", "xreg"},
        {"startxref-wrong", "startxref\\s+\\d+", "startxref\n999999"},
        {"xref-entries-garbage", "\\d{10} \\d{5} n", "99999x9999 00000 n"},
        {"stream-length-wrong", "/Length \\d+", "/Length 99999"},
        {"no-boxes", box, ""},
        {"box-string", box, "/MediaBox (612 792)"},
        {"box-two-numbers", box, "/MediaBox [ 0 0 ]"},
        {"box-huge", box, "/MediaBox [ 0 0 99999999999999999999999999999 1e40 ]"},
        {"box-not-numbers", box, "/MediaBox [ 0 0 nan inf ]"},
        {"box-zero", box, "/MediaBox [ 0 0 0 0 ]"},
        {"box-negative", box, "/MediaBox [ 0 0 -612 -792 ]"},
        {"page-huge", box, "/MediaBox [ 0 0 200000 200000 ]"},
        {"page-tiny", box, "/MediaBox [ 0 0 0.01 0.01 ]"},
        {"count-2^31", "/Count \\d+", "/Count 2147483648"},
        {"rotate-45", "/Type /Page\\b", "/Type /Page /Rotate 45"},
        {"rotate-minus-90", "/Type /Page\\b", "/Type /Page /Rotate -90"},
        {"page-tree-loop", "/Kids \\[", "/Kids [ " + pages + " 0 R"},
        {"page-is-tree", "/Type /Page\\b", "/Type /Pages /Kids [ " + pages + " 0 R ]"},
    };
    for (const Edit& edit : edits)
        corpus.push_back({QString::fromLatin1(edit.name), replaced(good, edit.pattern, edit.with)});

    const QByteArray packed = goodFile({.objectStreams = true});
    corpus.push_back(
        {"object-stream-loop",
         replaced(packed, "/Type /ObjStm",
                  "/Type /ObjStm /Extends " + objectWith(packed, "/Type /ObjStm") + " 0 R")});
    corpus.push_back({"object-stream-cut", packed.first(packed.size() * 2 / 3)});
    corpus.push_back({"junk-before-header", QByteArray(4096, 'x') + good});
    corpus.push_back({"text", "This is not a PDF document.\n"});
    corpus.push_back({"png", QByteArray::fromHex("89504e470d0a1a0a0000000d49484452")});
    corpus.push_back({"header-only", "%PDF-1.7\n"});
    return corpus;
}
