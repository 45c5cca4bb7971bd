// The List Check window's screenshots in docs/ (scripts/list-check-screenshots,
// under a virtual X display with a window manager): a list with problems, and
// the dialog that asks for the columns. Each picture is grabbed from the
// screen, title bar included.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <fstream>

#include "frm_list_check.h"

namespace {

bool Shoot(const QWidget& w, const QString& path) {
    const QRect frame = w.frameGeometry();
    const QPixmap shot = QApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(),
                                                                   frame.width(), frame.height());
    const bool ok = shot.save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

void WriteFile(const QString& path, const char* text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "Usage: %s DATA_FOLDER OUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString data = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const QString list = QDir::temp().filePath(QStringLiteral("customers.csv"));
    WriteFile(list,
              "Name,Street,Suburb,State,Postcode\r\n"
              "Hartley Joinery,12 Quay St,Sydny,NSW,2000\r\n"
              "M. Okafor,3/41 Bourke St,Melbourne,VIC,3000\r\n"
              "Perth Cycle Club,PO Box 88,Perth,WA,6001\r\n"
              "Tran Bakery,7 Smith St,Darwin,NT,800\r\n"
              "A. Lindqvist,19 Beach Rd,St Kilda,VIC,3182\r\n"
              "Greenway Nursery,2 Mill Lane,Mount Isa,QLD,4852\r\n"
              "R. Papadopoulos,55 High St,Sunnybank Hils,QLD,4109\r\n"
              "Coastal Books,9 Esplanade,Albury,VIC,2640\r\n");
    const QString unnamed = QDir::temp().filePath(QStringLiteral("members.csv"));
    WriteFile(unnamed,
              "Member,Address,Place,Region,Code\r\n"
              "J. Brennan,4 Rose St,Richmond,VIC,3121\r\n"
              "K. Ito,18 Park Ave,Perth,WA,6000\r\n"
              "S. Moreau,1 Hill Rd,Darwin,NT,0800\r\n");

    bool ok = true;
    korvallestin::frmListCheck window(data);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    window.OpenList(list);
    if (!QTest::qWaitFor([&] { return !window.Loading(); }, 10000)) {
        return 1;
    }
    QTest::qWait(400);  // the window manager's frame drawn
    ok = Shoot(window, out.filePath(QStringLiteral("list-check-problems.png"))) && ok;

    QTimer::singleShot(600, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            ok = Shoot(*dialog, out.filePath(QStringLiteral("list-check-columns.png"))) && ok;
            static_cast<QDialog*>(dialog)->reject();
        } else {
            ok = false;
        }
    });
    window.OpenList(unnamed);
    const bool ended = QTest::qWaitFor([&] { return !window.Loading(); }, 10000);
    return ok && ended ? 0 : 1;
}
