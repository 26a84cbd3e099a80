// The main() of test executables that need widgets: one QApplication for all their tests.

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // Widget tests draw off screen unless told otherwise, so they run, and list their tests
    // for CTest, without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
