// Drives the real search window headless over postcode files and prints, for
// each scenario, the median wall time of several runs, the rows found, the
// records read per second, the processor time the program took, the peak
// resident memory and the longest gap between two looks the search gave the
// window's event queue (the longest time it did not answer during the run). A
// scenario with a header click during the run also gives the time from the
// click until the run went on with it taken. Figures a scenario does not
// measure are printed as "-" and left out of the JSON output.
//
//   korvallestin-bench --data DIR [--runs N]     the file in DIR
//   korvallestin-bench --large [--runs N]        100,000 and 1,000,000 records
//                                                made from the shipped file
//   korvallestin-bench --startup                 start to first shown window
//   ... --only SCENARIO                          one scenario (its JSON name)
//   ... --json FILE                              also writes every figure,
//                                                each run's as well, to FILE

#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bench.h"
#include "headless.h"

using korvallestin::bench::Machine;
using korvallestin::bench::MeasureStartup;
using korvallestin::bench::RunLarge;
using korvallestin::bench::RunSuite;
using korvallestin::bench::Scenario;
using korvallestin::bench::StartupProbe;
using korvallestin::bench::WriteJson;

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
