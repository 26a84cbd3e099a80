// Damaged and hostile files go through everything a user can do with them: open (repairing
// what can be repaired), draw, crop, "Done" and save. Nothing may crash or hang.

#include "app/FirstPagePreview.h"
#include "crop/CropSession.h"
#include "render/DocumentRasterizers.h"
#include "render/InProcessWorkplace.h"
#include "render/RenderHostWorkplace.h"
#include "render/RepairingPdfLoader.h"
#include "tests/support/BadPdfCorpus.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// As the program runs: reading, repairing, drawing and saving in render hosts.
class HostedTest : public testing::Test {
protected:
    const std::shared_ptr<const RenderWorkplace> hosts =
        std::make_shared<RenderHostWorkplace>(CROPMARK_RENDER_HOST);
};

class BadInputTest : public HostedTest, public testing::WithParamInterface<BadPdf> {};

TEST_P(BadInputTest, OpensOrSaysWhyDrawsOrSaysWhyAndSavesCleanly) {
    QTemporaryDir dir;
    const QString path = writeFile(dir.filePath(GetParam().name + ".pdf"), GetParam().bytes);
    PdfOpenResult opened = RepairingPdfLoader(*hosts).open(path);
    if (!opened.ok()) {
        EXPECT_FALSE(opened.message.isEmpty());
        return;
    }
    CropSession session(std::move(opened.document));
    const int pages = session.pdfDoc().pageCount();
    ASSERT_GT(pages, 0);

    const auto rasterizer =
        DocumentRasterizers::maker(session.pdfDoc().renderSource(), pages, hosts)();
    for (int i = 0; i < std::min(pages, 4); ++i) {
        const RMCropInfo& record = session.cropsRect()[size_t(i)];
        const PageRenderResult drawn = rasterizer->render(
            {i, record.originalPageRect, int(record.pageRoation), QSize(90, 120), 1}, {});
        EXPECT_NE(drawn.image.isNull(), drawn.error.isEmpty()) << "page " << i;
    }

    session.cropIsFinishedWithRect(QRectF(40, 40, 300, 300));
    session.done();
    const QString saved = dir.filePath("saved.pdf");
    QString error;
    // Every file that opens saves.
    ASSERT_TRUE(session.pdfDoc().writeToFile(saved, &error)) << error.toStdString();
    EXPECT_TRUE(SavedFileCheck::readsNoWorseThan(saved, path, pages));
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, BadInputTest, testing::ValuesIn(badPdfCorpus()),
    [](const testing::TestParamInfo<BadPdf>& file) {
        QString name = file.param.name;
        return name.replace(QRegularExpression("[^A-Za-z0-9]"), "_").toStdString();
    });

// The opening window's first page of a file whose page tree claims 2^31 pages: the renderer
// finds no page 1 in it, so the page is drawn from the file's rewrite, as the editing window
// draws it later, wherever the program draws.
class FirstPagePreviewTest : public HostedTest, public testing::WithParamInterface<bool> {};

TEST_P(FirstPagePreviewTest, APageOnlyTheRewriteDrawsIsPreviewedAllTheSame) {
    QByteArray bytes = TestPdfBuilder().addPage({.content = "1 0 0 rg 0 0 612 792 re f"}).bytes();
    bytes.replace("/Count 1", "/Count 2147483648");
    QTemporaryDir dir;
    const QString path = writeFile(dir.filePath("claims-2^31-pages.pdf"), bytes);
    const auto workplace =
        GetParam() ? hosts : std::shared_ptr<const RenderWorkplace>(new InProcessWorkplace);
    int argc = 1;
    char name[] = "preview";
    char* argv[] = {name, nullptr};
    const QCoreApplication application(argc, argv);
    QImage image;
    FirstPagePreview::start(workplace, path, QSize(60, 80), 1,
                            [&image](const QImage& preview) { image = preview; });
    const QDeadlineTimer deadline(30000);
    while (image.isNull() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), QColor(Qt::red));
}

INSTANTIATE_TEST_SUITE_P(Workplaces, FirstPagePreviewTest, testing::Bool(),
                         [](const auto& p) { return p.param ? "inRenderHosts" : "inProcess"; });

} // namespace
