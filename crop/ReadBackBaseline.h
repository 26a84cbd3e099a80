#pragma once

#include "crop/PdfSourceData.h"

#include <QByteArray>

#include <map>
#include <optional>
#include <string>
#include <vector>

class QPDFExc;

// The source of a save, as the save's read-back compares the saved file with it: a save may
// carry on what was already wrong with the file the user opened, but adds nothing. It is read
// only when first asked about, since a save whose file reads cleanly needs nothing of it.
class ReadBackBaseline {
public:
    // data and password must outlive this.
    ReadBackBaseline(const PdfSourceData& data, const QByteArray& password);

    // Whether a strict reader of the whole source warns of each of these problems at least as
    // often. Problems are told apart by what qpdf says of them, without the object and the
    // offset, which a rewrite changes; how often each comes up is counted, so that a save
    // cannot add a second one of a kind either. A source that a strict reader cannot read at
    // all warns of nothing.
    bool hasProblems(const std::vector<QPDFExc>& warnings);

private:
    const PdfSourceData& data_;
    const QByteArray& password_;
    // How often each problem comes up, once counted.
    std::optional<std::map<std::string, int>> problems_;
};
