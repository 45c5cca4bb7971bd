#include <QApplication>

#include "frm_main.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvallestin.Korvallestin"));
    korvallestin::frmMain window;
    window.show();
    return QApplication::exec();
}
