// Runs the main window as the program does, for the desktop tests
// (scripts/desktop-tests), with three differences that only a test needs:
//
//   korvallestin-desktop-driver --data DIR [--records N]
//
// - the data comes from DIR, or with --records from a file of N records made
//   from DIR's in a temporary folder, so that a run lasts;
// - the list's edge, the status bar and the backgrounds of both windows are
//   drawn in plain marker colours, so that a screenshot shows where each
//   lies (list edge #00FF00, status bar #00FFFF, main window #0000FF, About
//   window #FF0080);
// - it reads commands on standard input and answers on standard output, for
//   the desktops where the tests cannot send input through the window system
//   (Wayland). It prints "running" and "idle" as runs start and end,
//   "progress TEXT" each time the status bar's count changes during a run, and
//   "close requested" when a close request reaches the window, before the
//   window answers it.
//
// Commands: report, find, new, stop, about, ok, size W H, state
// normal|maximized|fullscreen, close. "state" asks the window system through
// the platform window, as the title bar's buttons do on Wayland, so that the
// window hears of its new state from the window system and not before.

#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTableView>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <filesystem>
#include <string>

#include "data_generator.h"
#include "frm_main.h"

namespace {

void Print(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString Rect(const QRect& r) {
    return QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Where `w` lies in its top-level window's client area.
QRect InWindow(const QWidget* w) {
    return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
}

class Driver : public QObject {
  public:
    explicit Driver(korvallestin::frmMain& window)
        : window_(window), input_(0, QSocketNotifier::Read) {
        connect(&input_, &QSocketNotifier::activated, this, [this] { ReadCommand(); });
        // Commands run later, from the event loop, so that one that opens a
        // loop of its own (a run, the About window) does not hold the reader.
        next_.setSingleShot(true);
        connect(&next_, &QTimer::timeout, this, [this] {
            if (!pending_.isEmpty()) {
                const QStringList words = pending_.takeFirst();
                if (!pending_.isEmpty()) {
                    next_.start(0);
                }
                Run(words);
            }
        });
        // Runs are seen from the window's buttons and status bar, as a user
        // sees them.
        connect(&poll_, &QTimer::timeout, this, [this] {
            const bool running = Button("cmdStop")->isEnabled();
            if (running != running_) {
                running_ = running;
                Print(running ? "running" : "idle");
            }
            const QString count = window_.findChild<QLabel*>("sbBarText")->text();
            if (running && count != count_) {
                Print("progress " + count);
            }
            count_ = count;
        });
        poll_.start(10);
        window_.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Close) {
            Print("close requested");
        }
        return false;
    }

  private:
    QPushButton* Button(const char* name) { return window_.findChild<QPushButton*>(name); }

    void ReadCommand() {
        std::string line;
        char c = 0;
        while (::read(0, &c, 1) == 1 && c != '\n') {
            line += c;
        }
        if (line.empty() && c != '\n') {
            input_.setEnabled(false);  // end of input: the window stays as it is
            return;
        }
        const QStringList words = QString::fromStdString(line).split(' ', Qt::SkipEmptyParts);
        if (!words.isEmpty()) {
            pending_.append(words);
            next_.start(0);
        }
    }

    void Run(const QStringList& words) {
        const QString& command = words.front();
        auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (command == "report") {
            Report(about);
        } else if (command == "find") {
            Button("cmdFind")->click();
        } else if (command == "new") {
            Button("cmdNew")->click();
        } else if (command == "stop") {
            Button("cmdStop")->click();
        } else if (command == "about") {
            window_.imgHelp_Click();
        } else if (command == "ok" && about != nullptr) {
            // What Space does: it presses the button that has the focus.
            if (auto* focused = qobject_cast<QPushButton*>(about->focusWidget())) {
                focused->click();
            }
        } else if (command == "size" && words.size() == 3) {
            window_.windowHandle()->resize(words[1].toInt(), words[2].toInt());
        } else if (command == "state" && words.size() == 2) {
            window_.windowHandle()->setWindowStates(words[1] == "maximized" ? Qt::WindowMaximized
                                                    : words[1] == "fullscreen"
                                                        ? Qt::WindowFullScreen
                                                        : Qt::WindowNoState);
        } else if (command == "close") {
            window_.windowHandle()->close();
        }
        Print("done " + command);
    }

    void Report(QDialog* about) {
        Print(QStringLiteral("dpi %1").arg(window_.logicalDpiY()));
        Print("window " + Rect(QRect(QPoint(0, 0), window_.size())));
        Print("list " + Rect(InWindow(window_.findChild<QTableView*>("lvwResults"))));
        const auto* bar = window_.findChild<QStatusBar*>("sbBar");
        Print("status " + Rect(InWindow(bar)) + (bar->isVisible() ? " shown" : " hidden"));
        Print("limits " + Rect(QRect(QPoint(window_.minimumWidth(), window_.minimumHeight()),
                                     QSize(window_.maximumWidth(), window_.maximumHeight()))));
        const QWidget* focus = QApplication::focusWidget();
        Print("focus " + (focus != nullptr ? focus->objectName() : QStringLiteral("-")));
        Print(QStringLiteral("shown ") + (window_.isVisible() ? "yes" : "no"));
        const Qt::WindowStates state = window_.windowState();
        Print(QStringLiteral("state ") + ((state & Qt::WindowFullScreen) != 0  ? "fullscreen"
                                          : (state & Qt::WindowMaximized) != 0 ? "maximized"
                                          : (state & Qt::WindowMinimized) != 0 ? "minimized"
                                                                               : "normal"));
        Print(QStringLiteral("rows %1").arg(window_.Results().rowCount()));
        if (about != nullptr) {
            // The focus within the About window, whether or not the
            // compositor has given the window the keyboard.
            const QWidget* inside = about->focusWidget();
            Print("about " + Rect(QRect(QPoint(0, 0), about->size())) + " " +
                  (about->isModal() ? "modal" : "modeless") + " parent " +
                  about->parentWidget()->objectName() + " focus " +
                  (inside != nullptr ? inside->objectName() : QStringLiteral("-")));
        }
    }

    korvallestin::frmMain& window_;
    QSocketNotifier input_;
    QTimer poll_;
    QTimer next_;
    QList<QStringList> pending_;
    bool running_ = false;
    QString count_;
};

// Marker colours; the About window gets its own as it opens.
class AboutMarker : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == "frmAbout") {
            static_cast<QWidget*>(watched)->setStyleSheet("#frmAbout { background: #ff0080; }");
        }
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QString data;
    std::size_t records = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--data") {
            data = QString::fromLocal8Bit(argv[i + 1]);
        } else if (arg == "--records") {
            records = std::stoul(argv[i + 1]);
        }
    }
    std::string folder;
    if (records > 0) {
        char pattern[] = "/tmp/korvallestin-desktop-XXXXXX";
        if (::mkdtemp(pattern) == nullptr ||
            !korvallestin::bench::GenerateDataFile(data.toStdString() + "/postcodes.csv", pattern,
                                                   records)) {
            std::fprintf(stderr, "cannot make the data file\n");
            return 2;
        }
        folder = pattern;
        data = QString::fromStdString(folder);
    }
    int result = 0;
    {
        korvallestin::frmMain window(data);
        window.setStyleSheet(
            "#client { background: #0000ff; }"
            "#lvwResults { border: 2px solid #00ff00; }"
            "#sbBar { background: #00ffff; }");
        AboutMarker marker;
        app.installEventFilter(&marker);
        Driver driver(window);
        window.show();
        Print("shown");
        result = QApplication::exec();
        app.removeEventFilter(&marker);
    }
    if (!folder.empty()) {
        std::filesystem::remove_all(folder);
    }
    Print("closed");
    return result;
}
