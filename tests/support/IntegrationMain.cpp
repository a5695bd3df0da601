// Test main for the tests that talk to the stand's databases: the program's own locale set-up,
// and a Qt application for the tests that drive windows.
#include <gtest/gtest.h>

#include <QApplication>

#include "shell/Locale.h"

int main(int argc, char** argv) {
    // Windows are driven without a display, also when ctest only lists the tests.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tw::useDatabaseLocale();  // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
