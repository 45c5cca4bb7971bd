#include <QApplication>

#include <gtest/gtest.h>

#include "headless.h"

// The widget tests share one application object; they run headless unless
// told otherwise.
int main(int argc, char* argv[]) {
    korvallestin::UseHeadlessPlatform();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
