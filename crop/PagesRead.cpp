#include "crop/PagesRead.h"

#include "crop/QpdfParser.h"

#include <qpdf/QPDFExc.hh>

#include <new>

PagesRead readPagesBy(const std::function<std::vector<PageGeometry>()>& read) {
    PagesRead result;
    try {
        result.pages = read();
        result.outcome = PagesRead::Outcome::Read;
    } catch (const QPDFExc& e) {
        result.outcome = e.getErrorCode() == qpdf_e_password ? PagesRead::Outcome::Locked
                                                             : PagesRead::Outcome::Unreadable;
        result.reason = QString::fromLocal8Bit(e.what());
    } catch (const std::bad_alloc& e) {
        result.outcome = PagesRead::Outcome::OutOfMemory;
        result.reason = QString::fromLocal8Bit(e.what());
    } catch (const std::exception& e) {
        result.reason = QString::fromLocal8Bit(e.what());
    }
    return result;
}

PagesRead readPagesHere(const PdfSourceData& data, const QByteArray& password) {
    return readPagesBy([&] { return QpdfParser::readPages(data, password); });
}

PagesRead readFirstPageHere(const PdfSourceData& data, const QByteArray& password) {
    return readPagesBy([&] {
        const std::optional<PageGeometry> first = QpdfParser::readFirstPage(data, password);
        return first ? std::vector<PageGeometry>{*first} : std::vector<PageGeometry>();
    });
}
