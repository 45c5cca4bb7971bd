#include "headless.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace korvallestin {

namespace {

QtMessageHandler previous_handler = nullptr;

void QuietHeadlessWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("does not support propagateSizeHints"))) {
        return;
    }
    previous_handler(type, context, text);
}

}  // namespace

void UseHeadlessPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    previous_handler = qInstallMessageHandler(&QuietHeadlessWarnings);
}

}  // namespace korvallestin
