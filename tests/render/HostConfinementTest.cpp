// The render host shut in with what it was handed: a call outside what drawing and saving need
// ends it, and a host that did its work still ends normally.

#include "crop/PdfSourceData.h"
#include "render/RenderHostProcess.h"
#include "render/RenderHostProtocol.h"
#include "tests/support/CaseName.h"
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
    const char* argument;
    // Whether the answer, with what the host wrote into its output file, is the task's.
    bool (*answered)(const QByteArray& answer, const PdfSourceData* written);
};

class HostConfinementEndTest : public testing::TestWithParam<Task> {};

// Its work and its end, from the libraries' teardown to the exit, stay within what it may do.
TEST_P(HostConfinementEndTest, AHostThatAnsweredExitsNormally) {
    RenderHostProcess host(twoPages());
    const int output = memfd_create("output", MFD_CLOEXEC);
    ASSERT_TRUE(host.start(CROPMARK_RENDER_HOST, {GetParam().argument}, output));
    ASSERT_TRUE(host.send(QByteArray()));
    const auto answer = host.receive(30000);
    const auto written = PdfSourceData::mapDescriptor(output, nullptr);
    ::close(output);
    ASSERT_TRUE(answer && GetParam().answered(*answer, written.get()));
    const siginfo_t ended = endOf(host);
    ASSERT_EQ(ended.si_code, CLD_EXITED) << "the host was ended by signal " << ended.si_status;
    EXPECT_EQ(ended.si_status, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, HostConfinementEndTest,
    testing::Values(Task{"ReadingPagesWithQpdf", "--read-pages",
                         [](const QByteArray& answer, const PdfSourceData*) {
                             const auto read = RenderHostProtocol::decodePages(answer);
                             return read && read->pages.size() == 2;
                         }},
                    Task{"RepairingWithMupdf", "--repair",
                         [](const QByteArray& answer, const PdfSourceData* written) {
                             return RenderHostProtocol::decodeCopyWritten(answer) == true &&
                                    written && written->bytes().startsWith("%PDF");
                         }}),
    CaseName());

} // namespace
