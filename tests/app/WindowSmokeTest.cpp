// Starts the real program on a real (virtual) X display and checks that the editing window
// appears with the page drawn: the whole path from the command line to pixels on screen.

#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace {

// A virtual X server on a display number of its own choosing, stopped with the test.
class VirtualDisplay {
public:
    VirtualDisplay() {
        server_.setProgram("Xvfb");
        server_.setArguments(
            {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        server_.start();
        if (server_.waitForStarted(10000) && server_.waitForReadyRead(10000))
            name_ = ":" + QString::fromLatin1(server_.readLine()).trimmed();
    }
    ~VirtualDisplay() {
        server_.terminate();
        server_.waitForFinished(5000);
    }
    QString name() const { return name_; }

private:
    QProcess server_;
    QString name_;
};

int countRedPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                ++count;
        }
    }
    return count;
}

TEST(WindowSmokeTest, CommandLineFileOpensInAWindowWithItsPageDrawn) {
    VirtualDisplay display;
    if (display.name().isEmpty())
        GTEST_SKIP() << "Xvfb is not available";
    QTemporaryDir dir;
    TestPage page;
    page.content = "1 0 0 rg 100 100 400 500 re f";
    const QString pdf =
        TestPdfBuilder().addPage(page).addPage({}).writeTo(dir.filePath("smoke.pdf"));

    qputenv("DISPLAY", display.name().toLatin1());
    int argc = 1;
    char name[] = "smoke";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");

    QProcess cropmark;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display.name());
    environment.remove("QT_QPA_PLATFORM");
    cropmark.setProcessEnvironment(environment);
    cropmark.start(QStringLiteral(CROPMARK_EXECUTABLE), {pdf});
    ASSERT_TRUE(cropmark.waitForStarted(10000));

    // The page is drawn when much of the screen shows its red rectangle.
    int red = 0;
    for (QDeadlineTimer deadline(60000); !deadline.hasExpired() && red < 20000;) {
        QThread::msleep(200);
        red = countRedPixels(QGuiApplication::primaryScreen()->grabWindow(0).toImage());
    }
    EXPECT_GE(red, 20000);
    EXPECT_EQ(cropmark.state(), QProcess::Running);
    cropmark.kill();
    cropmark.waitForFinished(5000);
}

} // namespace
