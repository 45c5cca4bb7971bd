// Takes the screenshots in docs/ of the real window: run it under a real
// display (xvfb-run scripts/screenshots). Each picture is grabbed from the
// screen, so it shows what a user would see.
//
//   korvallestin-shots --data DIR --out DIR [--scaled]
//
// --scaled takes one picture, for a run with QT_SCALE_FACTOR set.
// --theme dark|high-contrast takes one picture after a search, sorted by
// Locality, with the desktop's colours replaced by a dark or a high-contrast
// (white on black) palette, as a desktop theme would give them; the window
// stays three seconds after the picture.

#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <string>

#include "data_generator.h"
#include "frm_main.h"

namespace {

void Settle(int ms = 300) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

QPalette ThemePalette(const QString& theme) {
    const bool dark = theme == QLatin1String("dark");
    const QColor ground = dark ? QColor(0x35, 0x35, 0x35) : QColor(Qt::black);
    const QColor text = dark ? QColor(0xF0, 0xF0, 0xF0) : QColor(Qt::white);
    QPalette palette;
    for (const auto role :
         {QPalette::Window, QPalette::Base, QPalette::Button, QPalette::AlternateBase}) {
        palette.setColor(role, ground);
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(role, text);
    }
    palette.setColor(QPalette::Highlight, dark ? QColor(0x2A, 0x82, 0xDA) : QColor(Qt::cyan));
    palette.setColor(QPalette::HighlightedText, dark ? QColor(Qt::white) : QColor(Qt::black));
    return palette;
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
    bool scaled = false;
    QString theme;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            data = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--out" && i + 1 < argc) {
            out = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--scaled") {
            scaled = true;
        } else if (arg == "--theme" && i + 1 < argc) {
            theme = QString::fromLocal8Bit(argv[++i]);
        }
    }
    if (!theme.isEmpty()) {
        QApplication::setPalette(ThemePalette(theme));
    }
    korvallestin::frmMain window(data);
    window.move(0, 0);
    window.show();
    Settle();
    if (!theme.isEmpty()) {
        window.findChild<QPushButton*>("cmdFind")->click();
        window.lvwResults_ColumnClick(2);
        Settle();
        const bool shot = Shoot(&window, out + "/window-" + theme + ".png");
        // Where the program cannot read the screen (Wayland), the
        // compositor's own tool takes the picture meanwhile.
        Settle(3000);
        return shot ? 0 : 1;
    }
    if (scaled) {
        window.findChild<QPushButton*>("cmdFind")->click();
        window.lvwResults_ColumnClick(2);
        Settle();
        return Shoot(&window, out + "/window-scale-2.png") ? 0 : 1;
    }
    bool ok = Shoot(&window, out + "/window-start.png");

    // Two pictures during a long search, a moment apart: the clip plays.
    char folder[] = "/tmp/korvallestin-shots-XXXXXX";
    if (::mkdtemp(folder) != nullptr &&
        korvallestin::bench::GenerateDataFile(data.toStdString() + "/postcodes.csv", folder,
                                              1'000'000)) {
        std::error_code ec;
        std::filesystem::copy_file(data.toStdString() + "/Findfile.avi",
                                   std::string(folder) + "/Findfile.avi", ec);
        korvallestin::frmMain searching(QString::fromLatin1(folder));
        searching.move(0, 0);
        searching.show();
        Settle();
        QElapsedTimer run;
        int shots = 0;
        searching.SetYieldObserver([&] {
            if (!run.isValid()) {
                run.start();
            }
            if ((shots == 0 && run.elapsed() > 400) || (shots == 1 && run.elapsed() > 730)) {
                ok &= Shoot(&searching, out + QString("/searching-%1.png").arg(++shots));
            }
            if (shots == 2) {
                searching.cmdStop_Click();
            }
        });
        searching.findChild<QPushButton*>("cmdFind")->click();
    }
    std::filesystem::remove_all(folder);
    window.raise();
    window.activateWindow();

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
