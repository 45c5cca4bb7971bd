// Drives the real search window headless over postcode files and prints, for
// each scenario, the median wall time of several runs, the rows found, the
// records read per second, the processor time the program took, the peak
// resident memory and the longest gap between two turns the search gave the
// window (the longest time it did not answer during the run). A scenario
// with a header click during the run also gives the time from the click until
// the window answered again. Figures a scenario does not measure are printed
// as "-" and left out of the JSON output.
//
//   korvallestin-bench --data DIR [--runs N]     the file in DIR
//   korvallestin-bench --large [--runs N]        100,000 and 1,000,000 records
//                                                made from the shipped file
//   korvallestin-bench --startup                 start to first shown window
//   ... --only SCENARIO                          one scenario (its JSON name)
//   ... --json FILE                              also writes every figure,
//                                                each run's as well, to FILE

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data_file.h"
#include "data_generator.h"
#include "frm_main.h"
#include "headless.h"
#include "result_list_model.h"
#include "results_view.h"

namespace {

using korvallestin::frmMain;
using korvallestin::ResultsView;

struct Criteria {
    const char* postcode = "";
    const char* state = "";
    const char* locality = "";
    int search_type = 0;
};

struct Scenario {
    const char* name;
    // The name in the JSON output.
    const char* key;
    Criteria criteria;
    // A header click after the run; its time is what is reported.
    bool click_after = false;
    // A header click halfway through the run.
    bool click_during = false;
};

struct Sample {
    double ms = 0;
    // The processor time the program took meanwhile: on a shared machine
    // it varies less than the wall time.
    double cpu_ms = 0;
    int rows = 0;
    // Between two turns of the search, the click's own turn included.
    double max_gap_ms = 0;
    // From a click during the run until the window next turned to its events.
    double click_ms = 0;
    double peak_mb = 0;
};

// The header the clicks go to: Locality.
constexpr int kClickedHeader = 2;

double CpuMs() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

QJsonArray ToJson(const std::vector<double>& values) {
    QJsonArray array;
    for (const double v : values) {
        array.append(v);
    }
    return array;
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

// Clicks a column header the way a user does: the press and release wait in
// the event queue until the window next turns to its events.
void PostHeaderClick(frmMain& window, int header) {
    QHeaderView* headers = window.findChild<ResultsView*>("lvwResults")->header();
    const QPoint at(
        headers->sectionViewportPosition(header - 1) + headers->sectionSize(header - 1) / 2,
        headers->height() / 2);
    const QPointF global = headers->viewport()->mapToGlobal(QPointF(at));
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QApplication::postEvent(headers->viewport(), new QMouseEvent(type, QPointF(at), global,
                                                                     Qt::LeftButton, held, {}));
    }
}

bool SortedByClickedHeader(frmMain& window) {
    return window.Results().SortKey() == kClickedHeader - 1;
}

std::optional<Sample> RunOnce(frmMain& window, const Scenario& s, long records) {
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
    QElapsedTimer clock;
    qint64 last_turn = -1;
    qint64 clicked_at = -1;
    long turns = 0;
    window.SetYieldObserver([&] {
        const qint64 now = clock.nsecsElapsed();
        if (last_turn >= 0) {
            sample.max_gap_ms = std::max(sample.max_gap_ms, (now - last_turn) / 1e6);
        }
        if (clicked_at >= 0 && sample.click_ms == 0) {
            // The click was taken in the last turn; the window answers again.
            sample.click_ms = (now - clicked_at) / 1e6;
        }
        if (s.click_during && ++turns == records / 2) {
            PostHeaderClick(window, kClickedHeader);
            clicked_at = clock.nsecsElapsed();
        }
        last_turn = clock.nsecsElapsed();
    });
    double cpu = CpuMs();
    clock.start();
    window.findChild<QPushButton*>("cmdFind")->click();
    QApplication::processEvents();  // the last frame is painted
    sample.ms = clock.nsecsElapsed() / 1e6;
    sample.cpu_ms = CpuMs() - cpu;
    window.SetYieldObserver({});
    if (s.click_during && (clicked_at < 0 || !SortedByClickedHeader(window))) {
        std::fprintf(stderr, "%s: the click during the run was not taken\n", s.name);
        return std::nullopt;
    }
    if (s.click_after) {
        cpu = CpuMs();
        clock.restart();
        PostHeaderClick(window, kClickedHeader);
        while (!SortedByClickedHeader(window) && clock.elapsed() < 60'000) {
            QApplication::processEvents();
        }
        QApplication::processEvents();  // the new order is painted
        sample.ms = clock.nsecsElapsed() / 1e6;
        sample.cpu_ms = CpuMs() - cpu;
        if (!SortedByClickedHeader(window)) {
            std::fprintf(stderr, "%s: the click after the run was not taken\n", s.name);
            return std::nullopt;
        }
    }
    sample.rows = window.Results().rowCount();
    sample.peak_mb = StatusKb("VmHWM:") / 1024.0;
    return sample;
}

// Runs every scenario `runs` times over the file in `folder`, prints the
// medians and returns every figure.
std::optional<QJsonObject> RunSuite(const QString& folder, const std::vector<Scenario>& scenarios,
                                    int runs) {
    const std::string path = folder.toStdString() + "/postcodes.csv";
    const long records = CountDataRecords(path);
    frmMain window(folder);
    window.show();
    QApplication::processEvents();
    std::printf("\n%s: %ld records, median of %d runs\n", path.c_str(), records, runs);
    std::printf("%-40s %9s %9s %11s %9s %8s %10s %9s\n", "scenario", "ms", "rows", "records/s",
                "cpu ms", "peak MB", "max gap ms", "click ms");
    QJsonArray results;
    for (const Scenario& s : scenarios) {
        std::vector<double> ms, cpu, gaps, clicks, peaks;
        int rows = 0;
        for (int r = 0; r < runs; ++r) {
            const std::optional<Sample> sample = RunOnce(window, s, records);
            if (!sample) {
                return std::nullopt;
            }
            ms.push_back(sample->ms);
            cpu.push_back(sample->cpu_ms);
            gaps.push_back(sample->max_gap_ms);
            clicks.push_back(sample->click_ms);
            peaks.push_back(sample->peak_mb);
            rows = sample->rows;
        }
        // A click after the run times the click alone: no records are read
        // and the search gives no turns.
        const bool timed_run = !s.click_after;
        const double median = Median(ms);
        QJsonObject result{
            {"scenario", s.key},     {"name", s.name},           {"ms", median},
            {"ms_runs", ToJson(ms)}, {"cpu_ms", Median(cpu)},    {"cpu_ms_runs", ToJson(cpu)},
            {"rows", rows},          {"peak_mb", Median(peaks)}, {"peak_mb_runs", ToJson(peaks)}};
        char per_second[32] = "-";
        char gap[32] = "-";
        char click[32] = "-";
        if (timed_run) {
            const double rate = records / (median / 1000.0);
            result["records_per_s"] = rate;
            result["max_gap_ms"] = Median(gaps);
            result["max_gap_ms_runs"] = ToJson(gaps);
            std::snprintf(per_second, sizeof per_second, "%.0f", rate);
            std::snprintf(gap, sizeof gap, "%.1f", Median(gaps));
        }
        if (s.click_during) {
            result["click_ms"] = Median(clicks);
            result["click_ms_runs"] = ToJson(clicks);
            std::snprintf(click, sizeof click, "%.1f", Median(clicks));
        }
        std::printf("%-40s %9.1f %9d %11s %9.1f %8.0f %10s %9s\n", s.name, median, rows, per_second,
                    Median(cpu), Median(peaks), gap, click);
        std::fflush(stdout);
        results.append(result);
    }
    return QJsonObject{{"file", QString::fromStdString(path)},
                       {"records", static_cast<double>(records)},
                       {"runs", runs},
                       {"scenarios", results}};
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

std::optional<QJsonObject> MeasureStartup(const QString& data, int runs) {
    std::vector<double> ms, rss;
    for (int r = 0; r < runs; ++r) {
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        child.start(QApplication::applicationFilePath(), {"--startup-probe", data});
        while (child.waitForReadyRead(5000) && !child.canReadLine()) {
        }
        if (child.readLine().trimmed() != "shown") {
            std::fprintf(stderr, "start-up probe failed\n");
            return std::nullopt;
        }
        ms.push_back(clock.nsecsElapsed() / 1e6);
        child.waitForFinished(5000);
        const QByteArray rest = child.readAll();
        rss.push_back(rest.mid(rest.indexOf("rss ") + 4).trimmed().toDouble() / 1024.0);
    }
    std::printf("\nstart to first shown window: %.0f ms (median of %d), idle memory %.0f MB\n",
                Median(ms), runs, Median(rss));
    return QJsonObject{{"ms", Median(ms)},
                       {"ms_runs", ToJson(ms)},
                       {"idle_mb", Median(rss)},
                       {"idle_mb_runs", ToJson(rss)}};
}

// The value of the first "key: value" line of a /proc file that starts with
// `key`.
QString ProcValue(const char* file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            return QString::fromStdString(line.substr(line.find(':') + 1)).trimmed();
        }
    }
    return {};
}

double LoadAverage() {
    std::ifstream in("/proc/loadavg");
    double load = -1;
    in >> load;
    return load;
}

// Where the figures were measured: the machine is shared and the platform
// decides what painting costs.
QJsonObject Machine() {
    return QJsonObject{{"cores", static_cast<double>(::sysconf(_SC_NPROCESSORS_ONLN))},
                       {"cpu", ProcValue("/proc/cpuinfo", "model name")},
                       {"memory", ProcValue("/proc/meminfo", "MemTotal")},
                       {"platform", QApplication::platformName()},
                       {"qt", QString::fromLatin1(qVersion())},
                       {"build", QStringLiteral(KORV_BUILD_TYPE)},
                       {"load_at_start", LoadAverage()},
                       // Beside other jobs the bench may run at a higher priority than theirs.
                       {"nice", ::getpriority(PRIO_PROCESS, 0)},
                       {"date", QDateTime::currentDateTimeUtc().toString(Qt::ISODate)}};
}

bool WriteJson(const QString& path, QJsonObject report) {
    report["load_at_end"] = LoadAverage();
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(QJsonDocument(report).toJson()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

double ScenarioFigure(const QJsonObject& suite, const char* key, const char* figure) {
    for (const QJsonValue s : suite["scenarios"].toArray()) {
        if (s["scenario"].toString() == QLatin1String(key)) {
            return s[QLatin1String(figure)].toDouble();
        }
    }
    return 0;
}

// The large files, made from the shipped one in a temporary folder.
std::optional<QJsonArray> RunLarge(const QString& data, const std::vector<Scenario>& scenarios,
                                   int runs, QJsonObject& report) {
    char pattern[] = "/tmp/korvallestin-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return std::nullopt;
    }
    const std::string temp = pattern;
    const std::string shipped = data.toStdString() + "/postcodes.csv";
    QJsonArray suites;
    bool ok = true;
    for (const long size : {100'000L, 1'000'000L}) {
        const std::string folder = temp + "/" + std::to_string(size);
        std::filesystem::create_directory(folder);
        if (!korvallestin::bench::GenerateDataFile(shipped, folder, size)) {
            std::fprintf(stderr, "cannot make %ld records from %s\n", size, shipped.c_str());
            ok = false;
            break;
        }
        const std::optional<QJsonObject> suite =
            RunSuite(QString::fromStdString(folder), scenarios, runs);
        if (!suite) {
            ok = false;
            break;
        }
        suites.append(*suite);
        if (size == 1'000'000L) {
            const std::string file = folder + "/postcodes.csv";
            const double reader = ReaderAloneMBs(file);
            const double grep = GrepMBs(file);
            const double mb = std::filesystem::file_size(file) / 1e6;
            std::printf("\nreader alone: %.0f MB/s; grep -c: %.0f MB/s (%.0f MB file)\n", reader,
                        grep, mb);
            report["reader_mb_per_s"] = reader;
            report["grep_mb_per_s"] = grep;
            report["large_file_mb"] = mb;
        }
    }
    std::filesystem::remove_all(temp);
    if (!ok) {
        return std::nullopt;
    }
    const double small = ScenarioFigure(suites[0].toObject(), "all_match", "ms");
    const double large = ScenarioFigure(suites[1].toObject(), "all_match", "ms");
    const double small_cpu = ScenarioFigure(suites[0].toObject(), "all_match", "cpu_ms");
    const double large_cpu = ScenarioFigure(suites[1].toObject(), "all_match", "cpu_ms");
    if (small > 0 && small_cpu > 0) {
        std::printf(
            "time(1,000,000) / time(100,000), all criteria empty: %.1f (processor time: %.1f)\n",
            large / small, large_cpu / small_cpu);
        report["all_match_scaling"] = large / small;
        report["all_match_cpu_scaling"] = large_cpu / small_cpu;
    }
    return suites;
}

}  // namespace

int main(int argc, char* argv[]) {
    korvallestin::UseHeadlessPlatform();
    QApplication app(argc, argv);
    QString data = QApplication::applicationDirPath() + "/..";
    QString json;
    std::string only;
    int runs = 5;
    bool large = false;
    bool startup = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            data = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--json" && i + 1 < argc) {
            json = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--only" && i + 1 < argc) {
            only = argv[++i];
        } else if (arg == "--large") {
            large = true;
        } else if (arg == "--startup") {
            startup = true;
        } else if (arg == "--startup-probe" && i + 1 < argc) {
            return StartupProbe(QString::fromLocal8Bit(argv[++i]));
        } else {
            std::fprintf(stderr,
                         "usage: %s [--data DIR] [--runs N] [--large] [--startup] [--json FILE] "
                         "[--only SCENARIO]\n",
                         argv[0]);
            return 2;
        }
    }

    std::vector<Scenario> scenarios = {
        {"all criteria empty", "all_match", {}, false, false},
        {"postcode 3000", "postcode_3000", {"3000", "", "", 0}, false, false},
        {"locality contains BAY", "locality_contains_bay", {"", "", "BAY", 1}, false, false},
        {"state NSW", "state_nsw", {"", "NSW", "", 0}, false, false},
        {"header click Locality after all-match", "click_after_all_match", {}, true, false},
        {"header click Locality during all-match", "click_during_all_match", {}, false, true},
    };
    if (!only.empty()) {
        std::erase_if(scenarios, [&](const Scenario& s) { return only != s.key; });
    }
    QJsonObject report{{"machine", Machine()}};
    if (startup) {
        const std::optional<QJsonObject> figures = MeasureStartup(data, runs);
        if (!figures) {
            return 1;
        }
        report["startup"] = *figures;
    }
    if (large) {
        const std::optional<QJsonArray> suites = RunLarge(data, scenarios, runs, report);
        if (!suites) {
            return 1;
        }
        report["suites"] = *suites;
    } else if (!startup) {
        const std::optional<QJsonObject> suite = RunSuite(data, scenarios, runs);
        if (!suite) {
            return 1;
        }
        report["suites"] = QJsonArray{*suite};
    }
    return json.isEmpty() || WriteJson(json, report) ? 0 : 1;
}
