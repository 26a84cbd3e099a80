#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>
#include <vector>

// Damaged and hostile files made from good ones, for tests that everything survives them:
// files cut short at many places, bytes flipped, broken cross-references and streams, loops in
// the page tree, pages with missing, malformed, enormous, empty or inverted boxes, absurd page
// counts and rotations, and files that are not PDF at all. Made afresh by every run; nothing
// is downloaded or copied from elsewhere.
struct BadPdf {
    QString name;
    QByteArray bytes;
};

// A file printed as its name, in test lists and failure messages.
inline void PrintTo(const BadPdf& file, std::ostream* out) {
    *out << file.name.toStdString();
}

std::vector<BadPdf> badPdfCorpus();
