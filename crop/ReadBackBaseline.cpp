#include "crop/ReadBackBaseline.h"

#include "crop/QpdfParser.h"
#include "crop/QpdfStreamCheck.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace {

std::map<std::string, int> counted(const std::vector<QPDFExc>& warnings) {
    std::map<std::string, int> problems;
    for (const QPDFExc& warning : warnings)
        ++problems[warning.getMessageDetail()];
    return problems;
}

// Every object is read, since a rewrite may bring any of them into what the read-back reads.
std::map<std::string, int> strictProblems(const PdfSourceData& data, const QByteArray& password) {
    try {
        auto pdf = QpdfParser::parseStrictly(data, {}, password);
        for (QPDFObjectHandle& object : pdf->getAllObjects()) {
            try {
                object.getTypeCode();
            } catch (const std::exception&) {
                // An object a strict reader cannot read is one a saved file may not hold
                // either: its problem is not one to carry on.
            }
        }
        return counted(pdf->getWarnings());
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

ReadBackBaseline::ReadBackBaseline(const PdfSourceData& data, const QByteArray& password)
    : data_(data), password_(password) {}

ReadBackBaseline::~ReadBackBaseline() = default;

bool ReadBackBaseline::hasProblems(const std::vector<QPDFExc>& warnings) {
    if (!problems_)
        problems_ = strictProblems(data_, password_);
    for (const auto& [problem, count] : counted(warnings)) {
        const auto known = problems_->find(problem);
        if (known == problems_->end() || known->second < count)
            return false;
    }
    return true;
}

bool ReadBackBaseline::streamReads(WrittenObjects::Id id) {
    try {
        if (!repaired_) {
            repaired_ = nullptr;
            repaired_ = QpdfParser::parse(data_, password_);
        }
        if (!*repaired_)
            return false;
        QPDFObjectHandle object = (*repaired_)->getObject(id.number, id.generation);
        return object.isStream() && QpdfStreamCheck::reads(**repaired_, object);
    } catch (const std::exception&) {
        return false;
    }
}
