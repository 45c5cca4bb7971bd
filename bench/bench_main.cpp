// Drives the real search window headless over postcode files and prints, for
// each scenario, the median wall time of several runs, the rows found, the
// records read per second, the peak resident memory and the longest gap
// between two turns the search gave the window (its worst response time
// during the run).
//
//   korvallestin-bench --data DIR [--runs N]     the file in DIR
//   korvallestin-bench --large [--runs N]        100,000 and 1,000,000 records
//                                                made from the shipped file
//   korvallestin-bench --startup                 start to first shown window

#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "data_file.h"
#include "data_generator.h"
#include "frm_main.h"
#include "headless.h"

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
    // A header click after the run; its time is what is reported.
    bool click_after = false;
    // A header click halfway through the run.
    bool click_during = false;
};

struct Sample {
    double ms = 0;
    int rows = 0;
    double max_gap_ms = 0;
    long peak_kb = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::atol(line.c_str() + std::string(key).size());
        }
    }
    return 0;
}

// Starts a new peak of the resident set at the present size.
void ResetPeakMemory() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

long CountDataRecords(const std::string& path) {
    korvallestin::PostcodeFileReader reader;
    korvallestin::PostcodeRecord record;
    if (reader.Open(path) != korvallestin::PostcodeFileReader::OpenResult::Opened ||
        !reader.ReadRecord(record)) {
        return 0;
    }
    long n = 0;
    while (!reader.AtEnd() && reader.ReadRecord(record)) {
        ++n;
    }
    return n;
}

Sample RunOnce(frmMain& window, const Scenario& s, long records) {
    window.cmdNew_Click();
    window.Results().SetSortKey(0);
    window.Results().SetSortOrder(0);
    window.findChild<QLineEdit*>("txtPostCode")->setText(QString::fromUtf8(s.criteria.postcode));
    window.findChild<QComboBox*>("cboState")->setEditText(QString::fromUtf8(s.criteria.state));
    window.findChild<QLineEdit*>("txtLocality")->setText(QString::fromUtf8(s.criteria.locality));
    window.findChild<QComboBox*>("cboSearchType")->setCurrentIndex(s.criteria.search_type);
    QApplication::processEvents();
    ResetPeakMemory();

    Sample sample;
    QElapsedTimer gap;
    long yields = 0;
    window.SetYieldObserver([&] {
        if (gap.isValid()) {
            sample.max_gap_ms = std::max(sample.max_gap_ms, gap.nsecsElapsed() / 1e6);
        }
        if (s.click_during && ++yields == records / 2) {
            window.lvwResults_ColumnClick(2);
            gap.invalidate();  // the click's own time is not a gap of the run
            return;
        }
        gap.restart();
    });
    QElapsedTimer clock;
    clock.start();
    window.findChild<QPushButton*>("cmdFind")->click();
    QApplication::processEvents();  // the last frame is painted
    sample.ms = clock.nsecsElapsed() / 1e6;
    window.SetYieldObserver({});
    if (s.click_after) {
        clock.restart();
        window.lvwResults_ColumnClick(2);
        QApplication::processEvents();
        sample.ms = clock.nsecsElapsed() / 1e6;
    }
    sample.rows = window.Results().rowCount();
    sample.peak_kb = StatusKb("VmHWM:");
    return sample;
}

void RunSuite(const QString& folder, const std::vector<Scenario>& scenarios, int runs) {
    const std::string path = folder.toStdString() + "/postcodes.csv";
    const long records = CountDataRecords(path);
    frmMain window(folder);
    window.show();
    QApplication::processEvents();
    std::printf("\n%s: %ld records, median of %d runs\n", path.c_str(), records, runs);
    std::printf("%-36s %10s %9s %12s %9s %11s\n", "scenario", "ms", "rows", "records/s", "peak MB",
                "max gap ms");
    for (const Scenario& s : scenarios) {
        std::vector<double> ms, gaps, peaks;
        int rows = 0;
        for (int r = 0; r < runs; ++r) {
            const Sample sample = RunOnce(window, s, records);
            ms.push_back(sample.ms);
            gaps.push_back(sample.max_gap_ms);
            peaks.push_back(sample.peak_kb / 1024.0);
            rows = sample.rows;
        }
        const double median = Median(ms);
        const bool timed_run = !s.click_after;
        std::printf("%-36s %10.1f %9d %12.0f %9.0f %11s\n", s.name, median, rows,
                    timed_run ? records / (median / 1000.0) : 0.0, Median(peaks),
                    timed_run ? std::to_string(Median(gaps)).substr(0, 6).c_str() : "-");
    }
}

double ReaderAloneMBs(const std::string& path) {
    korvallestin::PostcodeFileReader reader;
    korvallestin::PostcodeRecord record;
    QElapsedTimer clock;
    clock.start();
    reader.Open(path);
    while (reader.ReadRecord(record) && !reader.AtEnd()) {
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    return std::filesystem::file_size(path) / 1e6 / seconds;
}

double GrepMBs(const std::string& path) {
    QElapsedTimer clock;
    clock.start();
    const std::string command = "grep -c , '" + path + "' > /dev/null";
    if (std::system(command.c_str()) != 0) {
        return 0;
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    return std::filesystem::file_size(path) / 1e6 / seconds;
}

int StartupProbe(const QString& data) {
    frmMain window(data);
    window.show();
    QApplication::processEvents();
    std::printf("shown\n");
    std::fflush(stdout);
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 500) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    std::printf("rss %ld\n", StatusKb("VmRSS:"));
    return 0;
}

void MeasureStartup(const QString& data, int runs) {
    std::vector<double> ms, rss;
    for (int r = 0; r < runs; ++r) {
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        child.start(QApplication::applicationFilePath(), {"--startup-probe", data});
        while (child.waitForReadyRead(5000) && !child.canReadLine()) {
        }
        if (child.readLine().trimmed() != "shown") {
            std::printf("start-up probe failed\n");
            return;
        }
        ms.push_back(clock.nsecsElapsed() / 1e6);
        child.waitForFinished(5000);
        const QByteArray rest = child.readAll();
        rss.push_back(rest.mid(rest.indexOf("rss ") + 4).trimmed().toDouble() / 1024.0);
    }
    std::printf("\nstart to first shown window: %.0f ms (median of %d), idle memory %.0f MB\n",
                Median(ms), runs, Median(rss));
}

}  // namespace

int main(int argc, char* argv[]) {
    korvallestin::UseHeadlessPlatform();
    QApplication app(argc, argv);
    QString data = QApplication::applicationDirPath() + "/..";
    int runs = 5;
    bool large = false;
    bool startup = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            data = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--large") {
            large = true;
        } else if (arg == "--startup") {
            startup = true;
        } else if (arg == "--startup-probe" && i + 1 < argc) {
            return StartupProbe(QString::fromLocal8Bit(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: %s [--data DIR] [--runs N] [--large] [--startup]\n",
                         argv[0]);
            return 2;
        }
    }

    const std::vector<Scenario> scenarios = {
        {"all criteria empty", {}, false, false},
        {"postcode 3000", {"3000", "", "", 0}, false, false},
        {"locality contains BAY", {"", "", "BAY", 1}, false, false},
        {"state NSW", {"", "NSW", "", 0}, false, false},
        {"header click Locality after all-match", {}, true, false},
        {"header click Locality during all-match", {}, false, true},
    };
    if (startup) {
        MeasureStartup(data, runs);
        return 0;
    }
    if (!large) {
        RunSuite(data, scenarios, runs);
        return 0;
    }

    char pattern[] = "/tmp/korvallestin-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string temp = pattern;
    const std::string shipped = data.toStdString() + "/postcodes.csv";
    std::vector<std::pair<long, double>> all_match;
    for (const long size : {100'000L, 1'000'000L}) {
        const std::string folder = temp + "/" + std::to_string(size);
        std::filesystem::create_directory(folder);
        if (!korvallestin::bench::GenerateDataFile(shipped, folder, size)) {
            std::fprintf(stderr, "cannot make %ld records from %s\n", size, shipped.c_str());
            std::filesystem::remove_all(temp);
            return 1;
        }
        RunSuite(QString::fromStdString(folder), scenarios, runs);
        if (size == 1'000'000L) {
            const std::string file = folder + "/postcodes.csv";
            std::printf("\nreader alone: %.0f MB/s; grep -c: %.0f MB/s (%.0f MB file)\n",
                        ReaderAloneMBs(file), GrepMBs(file),
                        std::filesystem::file_size(file) / 1e6);
        }
    }
    std::filesystem::remove_all(temp);
    return 0;
}
