#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench.h"
#include "data_file.h"
#include "frm_main.h"
#include "results_item_model.h"
#include "results_table_view.h"

namespace korvallestin::bench {

namespace {

struct Sample {
    double ms = 0;
    // The processor time the program took meanwhile: on a shared machine
    // it varies less than the wall time.
    double cpu_ms = 0;
    int rows = 0;
    // Between two looks the search gave the event queue, the click's own
    // look included.
    double max_gap_ms = 0;
    // From a click during the run until the run went on with the click taken.
    double click_ms = 0;
    double peak_mb = 0;
};

// The header the clicks go to: Locality.
constexpr int kClickedHeader = 2;

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
    QHeaderView* headers = window.findChild<ResultsTableView*>("lvwResults")->horizontalHeader();
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
    qint64 last_look = -1;
    qint64 clicked_at = -1;
    long yields = 0;
    // Each look the run gives the event queue wakes its dispatcher; a run
    // need not look at every yield.
    QMetaObject::Connection looks = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (last_look >= 0) {
                sample.max_gap_ms = std::max(sample.max_gap_ms, (now - last_look) / 1e6);
            }
            last_look = now;
            NoteMemory();
        });
    window.SetYieldObserver([&] {
        if (clicked_at >= 0 && sample.click_ms == 0 && SortedByClickedHeader(window)) {
            // The click was taken at a look; the run is back at its records.
            sample.click_ms = (clock.nsecsElapsed() - clicked_at) / 1e6;
        }
        if (s.click_during && ++yields == records / 2) {
            PostHeaderClick(window, kClickedHeader);
            clicked_at = clock.nsecsElapsed();
        }
    });
    double cpu = CpuMs();
    clock.start();
    window.findChild<QPushButton*>("cmdFind")->click();
    QObject::disconnect(looks);
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
    sample.peak_mb = PeakResidentKb() / 1024.0;
    return sample;
}

}  // namespace

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

}  // namespace korvallestin::bench
