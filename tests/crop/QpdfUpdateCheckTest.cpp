#include "crop/QpdfUpdateCheck.h"
#include "crop/QpdfParser.h"
#include "crop/QpdfUpdateBuilder.h"
#include "tests/support/TestPdfBuilder.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <gtest/gtest.h>

namespace {

struct CheckCase {
    const char* name;
    // Edits an update that is sound.
    void (*damage)(QByteArray& update);
    bool passes;
};

void PrintTo(const CheckCase& c, std::ostream* out) {
    *out << c.name;
}

// Adds one to the decimal number in bytes [at, end), keeping its width.
void addOne(QByteArray& bytes, qsizetype at, qsizetype end) {
    const QByteArray number = QByteArray::number(bytes.mid(at, end - at).toLongLong() + 1);
    bytes.replace(at, end - at, number.rightJustified(end - at, '0'));
}

class QpdfUpdateCheckTest : public testing::TestWithParam<CheckCase> {};

// The check between an update and the saved file: an update that a strict reader would have
// to repair, wherever it is damaged, does not pass, so the save rewrites the file instead.
TEST_P(QpdfUpdateCheckTest, PassesOnlyUpdatesThatReadBackWithoutRepair) {
    TestPdfBuilder builder;
    for (int i = 0; i < 3; ++i)
        builder.addPage({});
    const auto data = PdfSourceData::fromBytes(builder.bytes());
    auto pdf = QpdfParser::parse(*data, {});
    std::vector<QPDFObjectHandle> pages = pdf->getAllPages();
    std::vector<PageGeometry> geometry = QpdfParser::readPages(*data, {});
    std::vector<std::uint8_t> setBoxes{1u << static_cast<int>(PdfBox::Crop), 0,
                                       1u << static_cast<int>(PdfBox::Trim)};
    geometry[0].box(PdfBox::Crop) = QRectF(10, 20, 300, 400.25);
    geometry[2].box(PdfBox::Trim) = QRectF(30, 40, 200, 100);
    const auto update = QpdfUpdateBuilder::build(*pdf, *data, pages, geometry, setBoxes);
    ASSERT_TRUE(update);
    QByteArray appended = update->bytes();
    GetParam().damage(appended);
    EXPECT_EQ(QpdfUpdateCheck::readsBack(*data, appended, {}, pages, geometry, setBoxes),
              GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(Updates, QpdfUpdateCheckTest,
                         testing::Values(CheckCase{"sound", [](QByteArray&) {}, true},
                                         CheckCase{"emptyCrossReferenceSection",
                                                   [](QByteArray& u) {
                                                       const qsizetype at = u.indexOf("xref\n") + 5;
                                                       u.remove(at, u.indexOf("trailer") - at);
                                                   },
                                                   false},
                                         CheckCase{"startxrefOneByteOff",
                                                   [](QByteArray& u) {
                                                       const qsizetype at =
                                                           u.lastIndexOf("startxref\n") + 10;
                                                       addOne(u, at, u.indexOf('\n', at));
                                                   },
                                                   false},
                                         // The table's first entry one byte past its page.
                                         CheckCase{"firstPageNotWhereTheTableSays",
                                                   [](QByteArray& u) {
                                                       const qsizetype end = u.indexOf(" 00000 n");
                                                       addOne(u, end - 10, end);
                                                   },
                                                   false}),
                         [](const auto& p) { return std::string(p.param.name); });

} // namespace
