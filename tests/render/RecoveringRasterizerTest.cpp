// Pages MuPDF cannot read from the file itself are drawn from qpdf's rewrite of it; pages that
// cannot be drawn either way say so, and a page is never drawn from the wrong place.

#include "render/RecoveringRasterizer.h"
#include "crop/QpdfRenderCopy.h"
#include "render/InProcessWorkplace.h"
#include "render/MupdfRasterizer.h"
#include "render/SharedRenderCopy.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

namespace {

// Three pages, each filled with red; the page tree claims five.
PdfRenderSource overcountedFile() {
    TestPage page;
    page.content = "1 0 0 rg 0 0 612 792 re f";
    const QString written = QString::fromLatin1(TestPdfBuilder().addPages(3, page).bytes());
    QString bytes = written;
    bytes.replace(QRegularExpression("/Count 3"), "/Count 5");
    return {PdfSourceData::fromBytes(bytes.toLatin1()), {}};
}

std::unique_ptr<PageRasterizer> inProcess(const PdfRenderSource& source) {
    return InProcessWorkplace().rasterizer(source);
}

PageRenderResult draw(PageRasterizer& rasterizer, int page) {
    return rasterizer.render({page, QRectF(0, 0, 612, 792), 0, QSize(12, 16), 1}, {});
}

// Two rasterizers share one copy, made once; content is measured where pages are drawn.
TEST(RecoveringRasterizerTest, DrawsAndMeasuresFromTheRewrittenCopyWhenMupdfCountsOtherPages) {
    const PdfRenderSource source = overcountedFile();
    ASSERT_NE(MupdfRasterizer(source).pageCount(), 3) << "MuPDF believes the page tree";
    int copies = 0;
    auto copy = std::make_shared<SharedRenderCopy>([&] {
        ++copies;
        return QpdfRenderCopy::of(source);
    });
    RecoveringRasterizer first(source, 3, copy, inProcess);
    RecoveringRasterizer second(source, 3, copy, inProcess);
    for (int page = 0; page < 3; ++page) {
        const PageRenderResult drawn = draw(page % 2 ? first : second, page);
        ASSERT_FALSE(drawn.image.isNull()) << drawn.error.toStdString();
        EXPECT_EQ(drawn.image.pixelColor(6, 8), QColor(Qt::red));
    }
    EXPECT_EQ(copies, 1);
    ContentBoundsOptions drawn;
    drawn.mode = ContentBoundsOptions::Mode::Drawn;
    EXPECT_EQ(first.contentBounds(2, drawn), QRectF(0, 0, 612, 792));

    // Without a copy, such pages are not drawn but explained.
    auto none = std::make_shared<SharedRenderCopy>([] { return std::optional<PdfRenderSource>(); });
    RecoveringRasterizer uncopied(source, 3, none, inProcess);
    const PageRenderResult lost = draw(uncopied, 1);
    EXPECT_TRUE(lost.image.isNull());
    EXPECT_FALSE(lost.error.isEmpty());
}

} // namespace
