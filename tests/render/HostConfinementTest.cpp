// The render host shut in with what it was handed: a call outside what drawing and saving need
// ends it, and a host that did its work, a save into a file handed over later too, still ends
// normally.

#include "crop/PdfSourceData.h"
#include "render/RenderHostProcess.h"
#include "render/RenderHostProtocol.h"
#include "tests/support/CaseName.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using ::PrintTo;

const PdfSourceData* twoPages() {
    static const auto data = PdfSourceData::fromBytes(TestPdfBuilder().addPages(2, {}).bytes());
    return data.get();
}

// How host ended, once it has: left waitable, so that the host is still stopped and reaped as
// usual.
siginfo_t endOf(const RenderHostProcess& host) {
    siginfo_t ended = {};
    waitid(P_PID, id_t(host.processId()), &ended, WEXITED | WNOWAIT);
    return ended;
}

struct ForbiddenCall {
    const char* name;
    const char* probe;
};

class HostConfinementTest : public testing::TestWithParam<ForbiddenCall> {};

TEST_P(HostConfinementTest, EndsTheHostThatMakesIt) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "With AddressSanitizer the host only drops its privileges.";
#endif
    RenderHostProcess host(twoPages());
    ASSERT_TRUE(host.start(CROPMARK_RENDER_HOST, {"--probe", GetParam().probe}));
    // Gone, without being asked anything.
    ASSERT_TRUE(host.waitForAnswer(10000));
    const siginfo_t ended = endOf(host);
    ASSERT_NE(ended.si_code, CLD_EXITED) << "the host exited with " << ended.si_status;
    EXPECT_EQ(ended.si_status, SIGSYS);
}

INSTANTIATE_TEST_SUITE_P(Calls, HostConfinementTest,
                         testing::Values(ForbiddenCall{"Socket", "socket"},
                                         ForbiddenCall{"Exec", "exec"},
                                         ForbiddenCall{"WriteFile", "write-file"},
                                         ForbiddenCall{"Fork", "fork"}),
                         CaseName());

struct Task {
    const char* name;
    // Starts host on the task, output being the file it writes, and gives its last answer.
    std::optional<QByteArray> (*run)(RenderHostProcess& host, int output);
    // Whether the answer, with what the host wrote into its output file, is the task's.
    bool (*answered)(const QByteArray& answer, const PdfSourceData* written);
};

// A task answered once, whose host is handed its output file as it starts.
std::optional<QByteArray> answerTo(RenderHostProcess& host, const char* argument, int output) {
    if (!host.start(CROPMARK_RENDER_HOST, {argument}, output) || !host.send(QByteArray()))
        return std::nullopt;
    return host.receive(30000);
}

// A save, whose host reads the pages first and is handed its output file after that, with the
// first page's crop box set; the answer is the outcome, after the pages written.
std::optional<QByteArray> saved(RenderHostProcess& host, int output) {
    if (!host.start(CROPMARK_RENDER_HOST, {"--read-pages-and-save"}) || !host.send(QByteArray()))
        return std::nullopt;
    const auto pagesAnswer = host.receive(30000);
    std::optional<PagesRead> read =
        pagesAnswer ? RenderHostProtocol::decodePages(*pagesAnswer) : std::nullopt;
    if (!read || read->pages.size() != 2)
        return std::nullopt;
    read->pages[0].box(PdfBox::Crop) = QRectF(10, 20, 100, 200);
    const std::vector<std::uint8_t> setBoxes{1u << int(PdfBox::Crop), 0};
    if (!host.sendDescriptor(output) ||
        !host.send(RenderHostProtocol::encodeSaveJob({nullptr, {}, read->pages, setBoxes, {}})))
        return std::nullopt;
    std::optional<QByteArray> answer;
    int pages = 0;
    SaveOutcome outcome;
    do {
        answer = host.receive(30000);
    } while (answer && RenderHostProtocol::decodeSaveEvent(*answer, &pages, &outcome) && pages > 0);
    return answer;
}

class HostConfinementEndTest : public testing::TestWithParam<Task> {};

// Its work and its end, from the libraries' teardown to the exit, stay within what it may do.
TEST_P(HostConfinementEndTest, AHostThatAnsweredExitsNormally) {
    RenderHostProcess host(twoPages());
    const int output = memfd_create("output", MFD_CLOEXEC);
    const auto answer = GetParam().run(host, output);
    const auto written = PdfSourceData::mapDescriptor(output, nullptr);
    ::close(output);
    ASSERT_TRUE(answer && GetParam().answered(*answer, written.get()));
    const siginfo_t ended = endOf(host);
    ASSERT_EQ(ended.si_code, CLD_EXITED) << "the host was ended by signal " << ended.si_status;
    EXPECT_EQ(ended.si_status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, HostConfinementEndTest,
    testing::Values(Task{"ReadingPagesWithQpdf",
                         [](RenderHostProcess& host, int output) {
                             return answerTo(host, "--read-pages", output);
                         },
                         [](const QByteArray& answer, const PdfSourceData*) {
                             const auto read = RenderHostProtocol::decodePages(answer);
                             return read && read->pages.size() == 2;
                         }},
                    Task{"RepairingWithMupdf",
                         [](RenderHostProcess& host, int output) {
                             return answerTo(host, "--repair", output);
                         },
                         [](const QByteArray& answer, const PdfSourceData* written) {
                             return RenderHostProtocol::decodeCopyWritten(answer) == true &&
                                    written && written->bytes().startsWith("%PDF");
                         }},
                    Task{"ReadingPagesThenSavingIntoAFileHandedOver", saved,
                         [](const QByteArray& answer, const PdfSourceData* written) {
                             int pages = -1;
                             SaveOutcome outcome;
                             return RenderHostProtocol::decodeSaveEvent(answer, &pages, &outcome) &&
                                    pages == 0 && outcome.written && outcome.readsBack && written &&
                                    SavedFileCheck::bytesReadCleanly(written->bytes().toByteArray(),
                                                                     2);
                         }}),
    CaseName());

} // namespace
