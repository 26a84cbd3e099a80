#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>
#include <vector>

// Damaged and hostile files, made afresh from good ones by every run, for tests that everything
// survives them.
struct BadPdf {
    QString name;
    QByteArray bytes;
};

// A file printed as its name, in test lists and failure messages.
inline void PrintTo(const BadPdf& file, std::ostream* out) {
    *out << file.name.toStdString();
}

std::vector<BadPdf> badPdfCorpus();
