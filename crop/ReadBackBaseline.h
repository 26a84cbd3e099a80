#pragma once

#include "crop/PdfSourceData.h"
#include "crop/WrittenObjects.h"

#include <QByteArray>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QPDF;
class QPDFExc;

// The source of a save, as the save's read-back compares the saved file with it: a save may
// carry on what was already wrong with the file the user opened, but adds nothing. Each part
// is read only when first asked for, since a save whose file reads cleanly needs neither.
class ReadBackBaseline {
public:
    // data and password must outlive this.
    ReadBackBaseline(const PdfSourceData& data, const QByteArray& password);
    ~ReadBackBaseline();

    // Whether a strict reader of the whole source warns of each of these problems at least as
    // often. Problems are told apart by what qpdf says of them, without the object and the
    // offset, which a rewrite changes; how often each comes up is counted, so that a save
    // cannot add a second one of a kind either. A source that a strict reader cannot read at
    // all warns of nothing.
    bool hasProblems(const std::vector<QPDFExc>& warnings);
    // Whether the source's object id, read as a save reads it, with repairs, is a stream whose
    // data reads (QpdfStreamCheck).
    bool streamReads(WrittenObjects::Id id);

private:
    const PdfSourceData& data_;
    const QByteArray& password_;
    // How often each problem comes up, once counted.
    std::optional<std::map<std::string, int>> problems_;
    // Null once parsing failed.
    std::optional<std::unique_ptr<QPDF>> repaired_;
};
