// Pages drawn where MuPDF alone would fail the program: in the render host, which may crash, be
// killed or stop answering, and from qpdf's rewrite of a file MuPDF misreads.

#include "render/ProcessRasterizer.h"
#include "crop/QpdfLoader.h"
#include "crop/QpdfRenderCopy.h"
#include "render/ContainedReading.h"
#include "render/HostSaveWriter.h"
#include "render/InProcessWorkplace.h"
#include "render/MupdfRasterizer.h"
#include "render/RecoveringRasterizer.h"
#include "render/RenderHostProtocol.h"
#include "render/RenderHostWorkplace.h"
#include "render/SharedRenderCopy.h"
#include "tests/support/CaseName.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <functional>
#include <stop_token>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using ::PrintTo;

const TestPage kRedPage{.content = "1 0 0 rg 0 0 612 792 re f"};

PdfRenderSource redPages() {
    return {PdfSourceData::fromBytes(TestPdfBuilder().addPages(2, kRedPage).bytes()), {}};
}

PageRenderResult draw(PageRasterizer& rasterizer, int page, std::stop_token stop = {}) {
    return rasterizer.render({page, QRectF(0, 0, 612, 792), 0, QSize(12, 16), 1}, stop);
}

class ProcessRasterizerTest : public testing::TestWithParam<int> {};

TEST_P(ProcessRasterizerTest, AHostThatDiesOrHangsCostsOnlyItsPage) {
    // A stopped host never answers: a short limit finds it out.
    ProcessRasterizer rasterizer(redPages(), CROPMARK_RENDER_HOST, {.renderTimeoutMs = 2000});
    ASSERT_EQ(rasterizer.pageCount(), 2);
    PageRenderResult drawn = draw(rasterizer, 0);
    ASSERT_FALSE(drawn.image.isNull()) << drawn.error.toStdString();
    EXPECT_EQ(drawn.image.pixelColor(6, 8), QColor(Qt::red));

    const pid_t host = rasterizer.hostProcess();
    ASSERT_GT(host, 0);
    ::kill(host, GetParam());
    drawn = draw(rasterizer, 1);
    EXPECT_TRUE(drawn.image.isNull());
    EXPECT_TRUE(drawn.error.contains("page 2")) << drawn.error.toStdString();

    drawn = draw(rasterizer, 1);
    EXPECT_FALSE(drawn.image.isNull()) << drawn.error.toStdString();
    EXPECT_NE(rasterizer.hostProcess(), host);
}

INSTANTIATE_TEST_SUITE_P(Signals, ProcessRasterizerTest, testing::Values(SIGSEGV, SIGKILL, SIGSTOP),
                         [](const testing::TestParamInfo<int>& signal) {
                             return std::string(sigabbrev_np(signal.param));
                         });

// A host that stalls while it reads the document is replaced by a new one for the next page; a
// second that stalls as well leaves the document refused, without a third wait.
class StallingReadTest : public testing::TestWithParam<int> {};

TEST_P(StallingReadTest, AHostStalledWhileReadingIsTriedOnceMore) {
    const int stalls = GetParam();
    QTemporaryDir dir;
    const QString host = writeFile(dir.filePath("stalling-host"),
                                   QStringLiteral("#!/bin/sh\n"
                                                  "n=$(cat \"$0.starts\" 2>/dev/null || echo 0)\n"
                                                  "echo $((n + 1)) > \"$0.starts\"\n"
                                                  "[ \"$n\" -lt %1 ] && exec sleep 60\n"
                                                  "exec " CROPMARK_RENDER_HOST " \"$@\"\n")
                                       .arg(stalls)
                                       .toUtf8());
    QFile::setPermissions(host, QFile::ReadOwner | QFile::ExeOwner);

    ProcessRasterizer rasterizer(redPages(), host, {.renderTimeoutMs = 500});
    EXPECT_EQ(rasterizer.pageCount(), 0);
    const PageRenderResult first = draw(rasterizer, 1);
    const PageRenderResult second = draw(rasterizer, 1);
    if (stalls == 1) {
        EXPECT_EQ(first.image.pixelColor(6, 8), QColor(Qt::red)) << first.error.toStdString();
        EXPECT_EQ(rasterizer.pageCount(), 2);
    } else {
        EXPECT_TRUE(first.error.contains("took too long")) << first.error.toStdString();
        EXPECT_FALSE(first.rendererLost);
        EXPECT_EQ(second.error, first.error);
        QFile starts(host + ".starts");
        ASSERT_TRUE(starts.open(QIODevice::ReadOnly));
        EXPECT_EQ(starts.readAll().trimmed(), "2");
    }
}

INSTANTIATE_TEST_SUITE_P(Stalls, StallingReadTest, testing::Values(1, 2));

// A message as a host that lies about its lengths would write it.
QByteArray message(const std::function<void(QDataStream&)>& write) {
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_6_0);
    write(stream);
    return bytes;
}

QByteArray picture(QSize size, int count) {
    return message([&](QDataStream& s) {
        s << QString("") << size << 1.0;
        s.writeRawData(QByteArray(count * 4, '\x7f').constData(), count * 4);
    });
}

struct LyingMessage {
    const char* name;
    QByteArray payload;
    // Whether the decoder the message is for refuses it.
    bool (*refused)(const QByteArray& payload);
};

bool resultRefused(const QByteArray& payload) {
    return !RenderHostProtocol::decodeResult(payload);
}

class RenderHostProtocolTest : public testing::TestWithParam<LyingMessage> {};

// Refused before anything the size of the claim is allocated: with the sanitizers, allocating
// the 40 GB of the first picture stops the test, and the billions of pages fail it anyway.
TEST_P(RenderHostProtocolTest, ALengthTheMessageDoesNotHoldIsRefused) {
    EXPECT_TRUE(GetParam().refused(GetParam().payload));
}

INSTANTIATE_TEST_SUITE_P(
    Lies, RenderHostProtocolTest,
    testing::Values(LyingMessage{"PictureOf100000By100000PixelsIn20Bytes",
                                 picture(QSize(100000, 100000), 0), resultRefused},
                    LyingMessage{"PictureOnePixelShort", picture(QSize(4, 4), 15), resultRefused},
                    LyingMessage{"PictureOfNegativeSides", picture(QSize(-4, -4), 16),
                                 resultRefused},
                    LyingMessage{"FourBillionPages", message([](QDataStream& s) {
                                     s << qint32(0) << QString() << quint32(4000000000u);
                                 }),
                                 [](const QByteArray& payload) {
                                     return !RenderHostProtocol::decodePages(payload);
                                 }}),
    CaseName());

// A host gone wrong that announces a message of 250 MB and then ends costs the bytes it sent,
// not the length it claimed: the frame is read in a process left too little address space for
// that length, where allocating it would end the process.
TEST(RenderHostProtocolFrame, ALengthTheStreamDoesNotHoldTakesNoMemoryForIt) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's shadow memory needs more address space than a limit leaves";
#else
    // The address space this process has taken, in bytes.
    const auto addressSpace = [] {
        QFile statm(QStringLiteral("/proc/self/statm"));
        if (!statm.open(QIODevice::ReadOnly))
            return qint64(-1);
        return statm.readLine().split(' ').value(0).toLongLong() * ::sysconf(_SC_PAGESIZE);
    };
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const quint32 claimed = 250u << 20;
    ASSERT_EQ(::write(ends[1], &claimed, sizeof claimed), ssize_t(sizeof claimed));
    ASSERT_EQ(::write(ends[1], "short", 5), 5);
    ::close(ends[1]);
    const pid_t child = ::fork();
    if (child == 0) {
        const rlim_t room = rlim_t(addressSpace()) + (64u << 20);
        const rlimit limit{room, room};
        if (addressSpace() < 0 || ::setrlimit(RLIMIT_AS, &limit) != 0)
            ::_exit(2);
        ::_exit(RenderHostProtocol::readFrame(ends[0], 10000) ? 1 : 0);
    }
    ::close(ends[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
#endif
}

TEST(RenderHostProtocolResult, APictureAndAFailureComeThroughWhole) {
    QImage image(3, 2, QImage::Format_RGB32);
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, qRgb(40 * (i % 3), 100 * (i / 3), 7));
    image.setDevicePixelRatio(2);
    const auto drawn = RenderHostProtocol::decodeResult(
        RenderHostProtocol::encodeResult(PageRenderResult::success(image)));
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->image, image);
    EXPECT_EQ(drawn->image.devicePixelRatio(), 2);
    const auto failed = RenderHostProtocol::decodeResult(
        RenderHostProtocol::encodeResult(PageRenderResult::failure("Page 3 could not be drawn")));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->error, "Page 3 could not be drawn");
}

TEST(ProcessRasterizerStop, ARenderNobodyWantsEndsItsHungHostAtOnce) {
    ProcessRasterizer rasterizer(redPages(), CROPMARK_RENDER_HOST);
    ASSERT_EQ(rasterizer.pageCount(), 2);
    ::kill(rasterizer.hostProcess(), SIGSTOP);
    std::stop_source stop;
    PageRenderResult drawn;
    std::thread drawing([&] { drawn = draw(rasterizer, 0, stop.get_token()); });
    stop.request_stop();
    drawing.join();
    // Whether the stop came before the request went out or while the host was stuck, the
    // render ends as cancelled rather than at the time limit.
    EXPECT_TRUE(drawn.cancelled) << drawn.error.toStdString();
}

// Two red pages whose objects MuPDF finds through the file's cross-references, but not when it
// rebuilds them, as it does on coming upon the second page's content where another object is:
// the object stream that holds the page tree then seems part of the comment before it.
PdfRenderSource redPagesLostOnRebuilding() {
    return {PdfSourceData::fromBytes(
                TestPdfBuilder()
                    .addPages(2, kRedPage)
                    .layOut({.objectStreams = true})
                    .bytes()
                    .replace("\n1 0 obj\n<< /Type /ObjStm", " 1 0 obj\n<< /Type /ObjStm")
                    .replace("8 0 obj", "7 0 obj")),
            {}};
}

// Each request finds the pages the document was opened with, whatever an earlier one did: the
// second page, whose content is lost, is drawn the same every time.
TEST(ProcessRasterizerRebuilt, APageDrawnOnceIsDrawnAgainTheSame) {
    ProcessRasterizer rasterizer(redPagesLostOnRebuilding(), CROPMARK_RENDER_HOST);
    ASSERT_EQ(rasterizer.pageCount(), 2);
    const PageRenderResult first = draw(rasterizer, 1);
    ASSERT_FALSE(first.image.isNull()) << first.error.toStdString();
    const PageRenderResult again = draw(rasterizer, 1);
    ASSERT_FALSE(again.image.isNull()) << again.error.toStdString();
    EXPECT_EQ(again.image, first.image);
    EXPECT_EQ(again.image.text(PageRenderResult::kPartlyReadKey),
              first.image.text(PageRenderResult::kPartlyReadKey));
    EXPECT_EQ(draw(rasterizer, 0).image.pixelColor(6, 8), QColor(Qt::red));
}

// A file the host cannot read says why; a page that is not there has no content bounds.
TEST(ProcessRasterizerOpen, WhatIsNotThereIsAnsweredWithoutAPicture) {
    ProcessRasterizer rasterizer({PdfSourceData::fromBytes("not a PDF"), {}}, CROPMARK_RENDER_HOST);
    EXPECT_EQ(rasterizer.pageCount(), 0);
    EXPECT_FALSE(draw(rasterizer, 0).error.isEmpty());
    ProcessRasterizer host({PdfSourceData::fromBytes(TestPdfBuilder().addPage({}).bytes()), {}},
                           CROPMARK_RENDER_HOST);
    EXPECT_FALSE(host.contentBounds(7, {}));
}

TEST(ContainedReadingTest, ReadsAsHereAndAHostThatDiesLeavesTheFileUnreadable) {
    const PdfRenderSource source = redPages();
    const PagesRead read =
        ContainedReading::readPages(*source.data, {}, CROPMARK_RENDER_HOST, 4096);
    EXPECT_EQ(read.outcome, PagesRead::Outcome::Read);
    EXPECT_EQ(read.pages.size(), 2u);
    // The copy rewritten for drawing comes back whole.
    const auto copy = ContainedReading::renderCopy(*source.data, {}, CROPMARK_RENDER_HOST, 4096);
    ASSERT_TRUE(copy);
    EXPECT_EQ(MupdfRasterizer({copy, {}}).pageCount(), 2);
    const PagesRead lost = ContainedReading::readPages(*source.data, {}, "/bin/false", 4096);
    EXPECT_EQ(lost.outcome, PagesRead::Outcome::Unreadable);
    EXPECT_FALSE(lost.reason.isEmpty());
    EXPECT_FALSE(ContainedReading::repair(*source.data, "/bin/false", 4096));
    // A save whose writer dies writes nothing it reports as written.
    const SaveOutcome saved = HostSaveWriter("/bin/false", 4096)
                                  .save({source.data.get(), {}, read.pages, {0, 0}, {}}, -1, [] {});
    EXPECT_FALSE(saved.written);
    EXPECT_FALSE(saved.error.isEmpty());
}

// How a save's host was prepared before the save.
struct PreparedSave {
    const char* name;
    // The documents' loader prepares a save of each document as it opens it.
    bool savedSoon;
    // The document is locked, so that it is prepared without its password.
    bool locked;
    // The document is prepared again once unlocked, as the command line does.
    bool preparedOnceUnlocked;
    // Another document is opened with the same loader after it, and prepared instead.
    bool anotherOpened;
    // A save's host is left waiting for the save.
    bool hostWaiting;
};

// The save hosts this process started that are still running: waiting for their save.
int saveHostsWaiting() {
    int waiting = 0;
    for (const QString& process : QDir("/proc").entryList(QDir::Dirs)) {
        QFile status("/proc/" + process + "/stat");
        QFile command("/proc/" + process + "/cmdline");
        if (!status.open(QIODevice::ReadOnly) || !command.open(QIODevice::ReadOnly))
            continue;
        // After the name in parentheses: the state, then the parent.
        const QList<QByteArray> fields = status.readAll().split(')').last().simplified().split(' ');
        if (fields.size() > 1 && fields[0] != "Z" && fields[1].toLongLong() == getpid() &&
            command.readAll().contains("save"))
            ++waiting;
    }
    return waiting;
}

class HostSaveWriterTest : public testing::TestWithParam<PreparedSave> {};

// However the host was prepared, for this document or another, with or without the password,
// the save writes this document with its boxes, or it would write a file of another.
TEST_P(HostSaveWriterTest, SavesTheDocumentWhateverWasPrepared) {
    const PreparedSave& prepared = GetParam();
    QpdfLoader loader = RenderHostWorkplace(CROPMARK_RENDER_HOST).loader();
    loader.setSavedSoon(prepared.savedSoon);
    TestPdfBuilder builder;
    builder.addPages(2, {});
    const QByteArray password = prepared.locked ? "secret" : "";
    if (prepared.locked)
        builder.encrypt(password, "owner");
    const auto document = loader.openBytes(builder.bytes(), "in.pdf").document;
    ASSERT_TRUE(document);
    if (prepared.locked) {
        ASSERT_TRUE(document->unlockWithPassword(password));
    }
    if (prepared.preparedOnceUnlocked)
        document->prepareToSave();
    if (prepared.anotherOpened) {
        ASSERT_TRUE(loader.openBytes(TestPdfBuilder().addPages(3, {}).bytes(), "other.pdf").ok());
    }
    // A host shows its arguments a moment after it has started, on a busy machine.
    int waiting = saveHostsWaiting();
    for (int tries = 0; prepared.hostWaiting && waiting == 0 && tries < 100; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        waiting = saveHostsWaiting();
    }
    EXPECT_EQ(waiting, prepared.hostWaiting ? 1 : 0);
    const QRectF crop(10, 20, 100, 200);
    document->setBoundsForBox(1, crop, PdfBox::Crop);
    QTemporaryDir dir;
    const QString path = dir.filePath("saved.pdf");
    QString error;
    ASSERT_TRUE(document->writeToFile(path, &error)) << error.toStdString();
    EXPECT_EQ(saveHostsWaiting(), 0);
    EXPECT_TRUE(SavedFileCheck::readsCleanly(path, 2, password));
    const auto reopened = QpdfLoader().open(path).document;
    ASSERT_TRUE(reopened && reopened->unlockWithPassword(password));
    EXPECT_EQ(reopened->boundsForBox(1, PdfBox::Crop), crop);
}

INSTANTIATE_TEST_SUITE_P(
    Saves, HostSaveWriterTest,
    testing::Values(PreparedSave{"NotPrepared", false, false, false, false, false},
                    PreparedSave{"PreparedAsOpened", true, false, false, false, true},
                    PreparedSave{"PreparedWithoutThePassword", true, true, false, false, false},
                    PreparedSave{"PreparedAgainOnceUnlocked", true, true, true, false, true},
                    PreparedSave{"PreparedForAnotherDocument", true, false, false, true, true}),
    CaseName());

// A page tree whose first page is not where a walk down the first kids finds one.
struct OddPageTree {
    const char* name;
    QByteArray bytes;
};

// A small page, then a letter page.
QByteArray smallPageFirst() {
    return TestPdfBuilder().addPage({.mediaBox = QRectF(0, 0, 100, 100)}).addPage({}).bytes();
}

class FirstPageTest : public testing::TestWithParam<OddPageTree> {};

// The first page alone, which the opening window draws before the whole file is read, is the
// first page the document opens with, or nothing: never a page the document does not have.
TEST_P(FirstPageTest, IsTheFirstOfAllPagesOrNothing) {
    const auto data = PdfSourceData::fromBytes(GetParam().bytes);
    const PagesRead all = ContainedReading::readPages(*data, {}, CROPMARK_RENDER_HOST, 4096);
    ASSERT_EQ(all.outcome, PagesRead::Outcome::Read) << all.reason.toStdString();
    const PagesRead first = ContainedReading::readFirstPage(*data, {}, CROPMARK_RENDER_HOST, 4096);
    ASSERT_EQ(first.outcome, PagesRead::Outcome::Read) << first.reason.toStdString();
    if (first.pages.empty())
        return;
    ASSERT_FALSE(all.pages.empty());
    EXPECT_EQ(first.pages[0].box(PdfBox::Media), all.pages[0].box(PdfBox::Media));
}

INSTANTIATE_TEST_SUITE_P(
    Trees, FirstPageTest,
    testing::Values(
        // The root has no kids, so the document has no pages, though the root could pass for
        // one.
        OddPageTree{"RootWithoutKids", smallPageFirst().replace("/Kids [", "/Kidz [")},
        // The first kid has kids, though not an array of them: the document's pages are
        // found under it (none) and after it (the letter page).
        OddPageTree{"FirstKidWithKidsOfNoArray",
                    smallPageFirst().replace("/MediaBox [ 0 0 100 100 ]",
                                             "/Kids 5 /MediaBox [ 0 0 100 100 ]")},
        // The root has a parent, so the pages are read from there down (none).
        OddPageTree{"RootWithAParent",
                    smallPageFirst().replace("/Type /Pages",
                                             "/Type /Pages /Parent << /MediaBox [ 0 0 5 5 ] >>")}),
    CaseName());

std::unique_ptr<PageRasterizer> inProcess(const PdfRenderSource& source) {
    return InProcessWorkplace().rasterizer(source);
}

// Two rasterizers share one copy, made once; content is measured where pages are drawn.
TEST(RecoveringRasterizerTest, DrawsAndMeasuresFromTheRewrittenCopyWhenMupdfCountsOtherPages) {
    // Three red pages; the page tree claims five.
    const PdfRenderSource source{
        PdfSourceData::fromBytes(
            TestPdfBuilder().addPages(3, kRedPage).bytes().replace("/Count 3", "/Count 5")),
        {}};
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
    EXPECT_EQ(first.contentBounds(2, {.mode = ContentBoundsOptions::Mode::Drawn}),
              QRectF(0, 0, 612, 792));

    // Without a copy, such pages are not drawn but explained.
    auto none = std::make_shared<SharedRenderCopy>([] { return std::optional<PdfRenderSource>(); });
    RecoveringRasterizer uncopied(source, 3, none, inProcess);
    const PageRenderResult lost = draw(uncopied, 1);
    EXPECT_TRUE(lost.image.isNull());
    EXPECT_FALSE(lost.error.isEmpty());
}

} // namespace
