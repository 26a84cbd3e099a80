// The real program on a virtual X display, started as a desktop starts it: with no file, then
// again and again with files, which the running program takes over; checked by what shows.

#include "tests/support/BadPdfCorpus.h"
#include "tests/support/TestPdfBuilder.h"
#include "tests/support/VirtualDisplay.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

// Polls until condition holds; false if it never does within a minute.
bool eventually(const std::function<bool()>& condition) {
    for (QDeadlineTimer deadline(60000); !deadline.hasExpired(); QThread::msleep(100))
        if (condition())
            return true;
    return condition();
}

class DesktopSessionTest : public testing::Test {
protected:
    void SetUp() override {
        if (display.name().isEmpty())
            GTEST_SKIP() << "Xvfb is not available";
        qputenv("DISPLAY", display.name().toLatin1());
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display.name());
        environment.remove("QT_QPA_PLATFORM");
        static int argc = 1;
        static char name[] = "session";
        static char* argv[] = {name, nullptr};
        screen = std::make_unique<QGuiApplication>(argc, argv);
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    }
    void TearDown() override {
        primary.kill();
        primary.waitForFinished(5000);
    }

    QString pdf(const QString& name, const QByteArray& fill) {
        return TestPdfBuilder()
            .addPage({.content = fill + " rg 100 100 400 500 re f"})
            .writeTo(dir.filePath(name));
    }
    void start(QProcess& process, const QStringList& files) {
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(CROPMARK_EXECUTABLE), files);
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    // A later start hands its files to the running program and ends at once.
    void handOver(const QStringList& files) {
        QProcess second;
        start(second, files);
        ASSERT_TRUE(second.waitForFinished(30000));
        EXPECT_EQ(second.exitCode(), 0);
        EXPECT_EQ(primary.state(), QProcess::Running);
    }
    // The titles of the visible windows whose title matches pattern. xdotool matches the
    // title an older property holds, which the dash before the program's name is not part of;
    // the title returned is the one window lists show.
    QStringList windowsNamed(const QString& pattern) const {
        QStringList titles;
        for (const QString& id : xdotool({"search", "--onlyvisible", "--name", pattern}))
            titles << xdotool({"getwindowname", id}).value(0);
        return titles;
    }
    // Whether, within a minute, exactly one visible window matches pattern, titled title: the
    // window manager learns a title on its own time, not when the window's pixels show.
    bool shows(const QString& pattern, const QString& title) const {
        return eventually([&] { return windowsNamed(pattern) == QStringList{title}; });
    }
    QStringList xdotool(const QStringList& arguments) const {
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start("xdotool", arguments);
        tool.waitForFinished(10000);
        return QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }
    // How many of the screen's pixels (every other one each way) are close to colour.
    static int onScreen(QColor colour) {
        const QImage image = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        int count = 0;
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                const QColor c = image.pixelColor(x, y);
                count += std::abs(c.red() - colour.red()) < 60 &&
                         std::abs(c.green() - colour.green()) < 60 &&
                         std::abs(c.blue() - colour.blue()) < 60;
            }
        }
        return count;
    }

    VirtualDisplay display;
    std::unique_ptr<QGuiApplication> screen;
    QProcessEnvironment environment;
    QTemporaryDir dir;
    QProcess primary;
};

TEST_F(DesktopSessionTest, LaterStartsHandTheirFilesToTheRunningProgram) {
    const QString red = pdf("red.pdf", "1 0 0"), blue = pdf("blue.pdf", "0 0 1");
    const QColor redInk(255, 0, 0), blueInk(0, 0, 255);
    // Most of a page view: the drawn rectangle covers a good part of the screen.
    constexpr int kDrawn = 20000;

    start(primary, {});
    ASSERT_TRUE(eventually([&] { return windowsNamed("^Cropmark$").size() == 1; }));

    handOver({red});
    EXPECT_TRUE(eventually([&] { return onScreen(redInk) > kDrawn; }));
    EXPECT_TRUE(shows("^red\\.pdf", "red.pdf — Cropmark"));

    handOver({blue});
    EXPECT_TRUE(eventually([&] { return onScreen(blueInk) > kDrawn; }));

    // The file is open already: its window comes back in front of the other, alone.
    handOver({red});
    EXPECT_TRUE(eventually([&] { return onScreen(redInk) > kDrawn; }));
    EXPECT_TRUE(shows("^red\\.pdf", "red.pdf — Cropmark"));

    handOver({writeFile(dir.filePath("bad.pdf"), "not a PDF")});
    // The start window and the alert carry the program's name.
    EXPECT_TRUE(eventually([&] { return windowsNamed("^Cropmark$").size() == 2; }));
    EXPECT_TRUE(shows("^red\\.pdf", "red.pdf — Cropmark"));
    EXPECT_TRUE(shows("^blue\\.pdf", "blue.pdf — Cropmark"));
}

// Every file of the bad-file corpus handed to the running program: each opens or is refused
// with a message, and the program and the window of a good file stay.
TEST_F(DesktopSessionTest, BadFilesHandedToTheRunningProgramLeaveTheOtherWindowAsItWas) {
    const QString red = pdf("red.pdf", "1 0 0");
    start(primary, {red});
    ASSERT_TRUE(eventually([&] { return windowsNamed("^red\\.pdf").size() == 1; }));
    for (const BadPdf& file : badPdfCorpus())
        handOver({writeFile(dir.filePath(file.name + ".pdf"), file.bytes)});
    // The last of them has been dealt with once a later file opens.
    handOver({pdf("last.pdf", "0 1 0")});
    EXPECT_TRUE(eventually([&] { return windowsNamed("^last\\.pdf").size() == 1; }));
    EXPECT_EQ(primary.state(), QProcess::Running);
    EXPECT_TRUE(shows("^red\\.pdf", "red.pdf — Cropmark"));
}

} // namespace
