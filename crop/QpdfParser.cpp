#include "crop/QpdfParser.h"

#include "crop/JoinedInputSource.h"
#include "crop/QpdfPageReader.h"

#include <qpdf/QPDF.hh>

namespace QpdfParser {

namespace {

std::unique_ptr<QPDF> process(const PdfSourceData& data, QByteArrayView appended,
                              const QByteArray& password, bool attemptRecovery) {
    auto input = std::make_shared<JoinedInputSource>(data.bytes(), appended,
                                                     data.description().toStdString());
    auto pdf = std::make_unique<QPDF>();
    pdf->setSuppressWarnings(true);
    pdf->setAttemptRecovery(attemptRecovery);
    pdf->processInputSource(input, password.isNull() ? nullptr : password.constData());
    return pdf;
}

} // namespace

std::unique_ptr<QPDF> parse(const PdfSourceData& data, const QByteArray& password) {
    return process(data, {}, password, true);
}

std::unique_ptr<QPDF> parseStrictly(const PdfSourceData& data, const QByteArray& appended,
                                    const QByteArray& password) {
    return process(data, appended, password, false);
}

std::vector<PageGeometry> readPages(QPDF& pdf) {
    const auto& pages = pdf.getAllPages();
    std::vector<PageGeometry> geometry;
    geometry.reserve(pages.size());
    for (const auto& page : pages)
        geometry.push_back(QpdfPageReader::read(page));
    return geometry;
}

} // namespace QpdfParser
