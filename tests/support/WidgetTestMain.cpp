// The main() of test executables that need widgets: one QApplication for all their tests.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    // Widget tests draw off screen unless told otherwise, so they run, and list their tests
    // for CTest, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Each test process keeps its choices to itself: tests run side by side, and none may see
    // another's, nor the user's own.
    const QTemporaryDir settings;
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settings.path());
    // The desktop's list of recent files too.
    qputenv("XDG_DATA_HOME", settings.path().toLocal8Bit());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
