#include "cli/CommandUsage.h"

namespace CommandUsage {

namespace {

QString usage() {
    return QStringLiteral("Usage: cropmark [FILE.pdf...]\n"
                          "       cropmark crop [OPTIONS] IN.pdf...\n");
}

} // namespace

QString program() {
    return usage() +
           QStringLiteral(
               "\n"
               "Without a command, Cropmark opens the files, named by path or file: URL, in its\n"
               "windows, or its start window when none is named; a Cropmark already running on\n"
               "the display opens them instead. The windows need a display. Put -- before a file\n"
               "whose name begins with -.\n"
               "\n"
               "With `crop`, Cropmark crops files without a window or a display; its options are\n"
               "listed by `cropmark crop --help`.\n"
               "\n"
               "Options:\n"
               "  -h, --help            print this help\n"
               "  --version             print Cropmark's version\n"
               "Qt's own options, such as -platform xcb or -style fusion, go to the windows.\n");
}

QString crop() {
    return QStringLiteral(
        "Usage: cropmark crop [OPTIONS] IN.pdf...\n"
        "Crops the pages of PDF files and writes each IN.pdf, cropped, to IN-cropped.pdf\n"
        "beside it. Only the page boxes change: text stays text, and links, bookmarks, forms\n"
        "and encryption are kept, so nothing is lost and --restore undoes the crop (unless\n"
        "--remove-outside is given).\n"
        "\n"
        "What to do, one of (or none with --split):\n"
        "  --box X,Y,W,H         keep the rectangle W wide and H high whose lower-left corner\n"
        "                        is X right of and Y above the displayed page's lower-left\n"
        "                        corner\n"
        "  --margins L,T,R,B     cut L, T, R and B off the displayed page's left, top, right\n"
        "                        and bottom sides\n"
        "  --fit-content         crop each page to its content: what it draws, or for a scan\n"
        "                        the ink on it\n"
        "    --pad LENGTH        leave LENGTH around the content on every side (default 0)\n"
        "    --same-size         crop the pages of the first selected page's size to one\n"
        "                        rectangle that holds the content of all of them; pages of\n"
        "                        other sizes get that rectangle as far as they reach\n"
        "  --restore             give every page back the boxes it had before Cropmark first\n"
        "                        cropped it, which the files it saves keep, and join pages\n"
        "                        split by Cropmark into the page they were\n"
        "\n"
        "Splitting, alone or before what to do, which is then done to the parts:\n"
        "  --split CxR           split each selected page into C columns and R rows of parts,\n"
        "                        2 to 8 of them, each a page that shows its part of the page;\n"
        "                        the parts are read left to right, then top to bottom\n"
        "    --split-at LENGTH,...\n"
        "                        put the lines between the columns (or, with one column, the\n"
        "                        rows) LENGTH from the left (top) edge, not in equal parts\n"
        "    --gap LENGTH        drop LENGTH across each line, such as a book's spine\n"
        "    --order ltr|rtl     read the columns right to left for books bound on the right\n"
        "\n"
        "Options:\n"
        "  --pages SELECTION     the pages to crop (default all): a comma-separated union of\n"
        "                        all, odd, even, portrait, landscape (by displayed size), page\n"
        "                        numbers N and ranges N-M, e.g. odd,3-7,landscape\n"
        "  -o, --output OUT.pdf  write the only input's result to OUT.pdf; a file already\n"
        "                        there is replaced only once the new one is complete\n"
        "  --password PW         the password of locked files; asked for on a terminal\n"
        "                        when not given\n"
        "  --remove-outside      remove what lies outside each page's crop as well: the text,\n"
        "                        images, drawings and links there are gone for good, and the\n"
        "                        page's media box becomes its crop box. It cannot be undone:\n"
        "                        nothing is kept for --restore\n"
        "  --dry-run             write nothing; print each selected page's crop box before\n"
        "                        and after, in PDF page space, and with --remove-outside\n"
        "                        what the page would lose on a second line: removes G glyphs,\n"
        "                        I images, P paths, A annotations, B bytes (or nothing\n"
        "                        outside the crop)\n"
        "  --jobs N              crop N files at a time (default 1)\n"
        "  -h, --help            print this help\n"
        "\n"
        "Lengths are in points (1/72 in) or end in pt, mm, in or %. Per cent is of the side\n"
        "the length runs along: of the displayed page's width for X, W, L and R, of its\n"
        "height for Y, H, T and B. The displayed page is the page turned by its rotation, as\n"
        "Cropmark's window shows it; a crop is kept within the page.\n"
        "\n"
        "Exit status: 0 when every file was cropped, 1 when some file was not (the others\n"
        "still are), 2 for wrong arguments.\n"
        "\n"
        "A file whose name begins with - is named after --, as in\n"
        "  cropmark crop --margins 1,1,1,1 -- -scan.pdf\n"
        "\n"
        "Examples: cropmark crop --pages odd --margins 10mm,15mm,20mm,15mm book.pdf\n"
        "          cropmark crop --split 2x1 --split-at 51% --gap 4mm spreads.pdf\n");
}

QString programBrief() {
    return usage() + QStringLiteral("Try 'cropmark --help' for more.\n");
}

QString cropBrief() {
    return QStringLiteral("Usage: cropmark crop [OPTIONS] IN.pdf...\n"
                          "Try 'cropmark crop --help' for more.\n");
}

} // namespace CommandUsage
