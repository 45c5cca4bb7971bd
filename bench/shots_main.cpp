// Takes the README's screenshots of the real window: run it under a real
// display (xvfb-run scripts/screenshots). Each picture is grabbed from the
// screen, so it shows what a user would see.
//
//   korvallestin-shots --data DIR --out DIR

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <string>

#include "ui/main_window/frm_main.h"

namespace {

void Settle(int ms = 300) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

bool Shoot(QWidget* w, const QString& path) {
    const QPixmap shot = QApplication::primaryScreen()->grabWindow(
        0, w->frameGeometry().x(), w->frameGeometry().y(), w->frameGeometry().width(),
        w->frameGeometry().height());
    const bool ok = shot.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QString data = QApplication::applicationDirPath() + "/..";
    QString out = ".";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--data") {
            data = QString::fromLocal8Bit(argv[i + 1]);
        } else if (arg == "--out") {
            out = QString::fromLocal8Bit(argv[i + 1]);
        }
    }
    korvallestin::frmMain window(data);
    window.move(0, 0);
    window.show();
    Settle();
    bool ok = Shoot(&window, out + "/window-start.png");

    window.findChild<QPushButton*>("cmdFind")->click();
    Settle();
    ok &= Shoot(&window, out + "/window-all-found.png");

    window.lvwResults_ColumnClick(2);
    window.lvwResults_ColumnClick(2);
    Settle();
    ok &= Shoot(&window, out + "/window-sorted-by-locality.png");

    window.resize(window.width() + 200, window.height() + 160);
    Settle();
    ok &= Shoot(&window, out + "/window-enlarged.png");

    QTimer::singleShot(400, [&] {
        if (auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ok &= Shoot(about, out + "/about.png");
            about->accept();
        }
    });
    window.imgHelp_Click();
    return ok ? 0 : 1;
}
