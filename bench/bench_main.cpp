// Drives the real search window over a data folder and prints, for each
// scenario, the median wall time of several runs, the rows found, and the
// longest gap between two turns the search gave the window (its worst
// response time during the run).
//
//   korvallestin-bench --data DIR [--runs N]
//
// Runs headless with QT_QPA_PLATFORM=offscreen (set by default).

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ui/main_window/frm_main.h"

namespace {

using korvallestin::frmMain;

struct Criteria {
    const char* postcode = "";
    const char* state = "";
    const char* locality = "";
    int search_type = 0;
};

struct Scenario {
    const char* name;
    Criteria criteria;
    // Runs after the search; when set, its time is what is reported.
    std::function<void(frmMain&)> after;
};

struct Sample {
    double ms = 0;
    int rows = 0;
    double max_gap_ms = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

Sample RunOnce(frmMain& window, const Scenario& s) {
    window.cmdNew_Click();
    window.findChild<QLineEdit*>("txtPostCode")->setText(QString::fromUtf8(s.criteria.postcode));
    window.findChild<QComboBox*>("cboState")->setEditText(QString::fromUtf8(s.criteria.state));
    window.findChild<QLineEdit*>("txtLocality")->setText(QString::fromUtf8(s.criteria.locality));
    window.findChild<QComboBox*>("cboSearchType")->setCurrentIndex(s.criteria.search_type);
    QApplication::processEvents();

    Sample sample;
    QElapsedTimer gap;
    window.SetYieldObserver([&] {
        if (gap.isValid()) {
            sample.max_gap_ms = std::max(sample.max_gap_ms, gap.nsecsElapsed() / 1e6);
        }
        gap.restart();
    });
    QElapsedTimer clock;
    clock.start();
    window.findChild<QPushButton*>("cmdFind")->click();
    QApplication::processEvents();  // the last frame is painted
    sample.ms = clock.nsecsElapsed() / 1e6;
    window.SetYieldObserver({});
    if (s.after) {
        clock.restart();
        s.after(window);
        QApplication::processEvents();
        sample.ms = clock.nsecsElapsed() / 1e6;
    }
    sample.rows = window.Results().rowCount();
    return sample;
}

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

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    previous_handler = qInstallMessageHandler(&QuietHeadlessWarnings);
    QApplication app(argc, argv);
    QString data = QApplication::applicationDirPath() + "/..";
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            data = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s --data DIR [--runs N]\n", argv[0]);
            return 2;
        }
    }

    frmMain window(data);
    window.show();
    QApplication::processEvents();

    const std::vector<Scenario> scenarios = {
        {"all criteria empty", {}, {}},
        {"postcode 3000", {"3000", "", "", 0}, {}},
        {"locality contains BAY", {"", "", "BAY", 1}, {}},
        {"state NSW", {"", "NSW", "", 0}, {}},
        {"header click Locality after all-match",
         {},
         [](frmMain& w) { w.lvwResults_ColumnClick(2); }},
    };
    std::printf("data: %s/postcodes.csv, median of %d runs\n", qPrintable(data), runs);
    std::printf("%-40s %10s %8s %14s\n", "scenario", "ms", "rows", "max gap ms");
    for (const Scenario& s : scenarios) {
        std::vector<double> ms, gaps;
        int rows = 0;
        for (int r = 0; r < runs; ++r) {
            // Each header click starts from the same sort state.
            window.Results().SetSortKey(0);
            window.Results().SetSortOrder(0);
            const Sample sample = RunOnce(window, s);
            ms.push_back(sample.ms);
            gaps.push_back(sample.max_gap_ms);
            rows = sample.rows;
        }
        std::printf("%-40s %10.1f %8d %14.2f\n", s.name, Median(ms), rows,
                    s.after ? 0.0 : Median(gaps));
    }
    return 0;
}
