#include <QApplication>

#include <cstdio>

#include <gtest/gtest.h>

#include "headless.h"

// The widget tests share one application object; they run headless unless
// told otherwise.
int main(int argc, char* argv[]) {
    korvallestin::UseHeadlessPlatform();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Said first, so that a run meant for one platform cannot pass on another
    // unnoticed.
    std::printf("Qt platform: %s\n", qPrintable(QGuiApplication::platformName()));
    return RUN_ALL_TESTS();
}
