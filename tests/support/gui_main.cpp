#include <QApplication>

#include <gtest/gtest.h>

namespace {

// The headless platform warns each time a window's size limits change; the
// warning says nothing about the program.
QtMessageHandler previous_handler = nullptr;

void QuietHeadlessWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("does not support propagateSizeHints"))) {
        return;
    }
    previous_handler(type, context, text);
}

}  // namespace

// The widget tests share one application object; they run headless unless
// told otherwise.
int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    previous_handler = qInstallMessageHandler(&QuietHeadlessWarnings);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
