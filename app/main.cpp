#include <QApplication>

#include "ui/main_window/frm_main.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    korvallestin::frmMain window;
    window.show();
    return QApplication::exec();
}
