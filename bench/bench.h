#pragma once

// What the benchmark's parts share: the scenarios, the figures of this
// process and the JSON helpers.

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace korvallestin::bench {

struct Criteria {
    const char* postcode = "";
    const char* state = "";
    const char* locality = "";
    int search_type = 0;
};

struct Scenario {
    const char* name = "";
    // The name in the JSON output.
    const char* key = "";
    Criteria criteria;
    // A header click after the run; its time is what is reported.
    bool click_after = false;
    // A header click halfway through the run.
    bool click_during = false;
};

// --- Figures of this process and machine (process_posix.cpp or
// process_windows.cpp, by system) --------------------------------------------

// The processor time the process has taken so far, user and system.
double CpuMs();
// The most memory the process has held since the last ResetPeakMemory, in kB
// (what it holds now is platform.h's ResidentKb).
long PeakResidentKb();
// Starts a new peak of the resident set at the present size.
void ResetPeakMemory();
// Tells the peak of the present size, where the system keeps no peak that
// can be started anew (Windows); called at each look at the event queue.
void NoteMemory();
// The processor's name, the memory the machine has, its load average (-1
// where the system keeps none) and the process's priority beside other jobs.
QString ProcessorName();
QString MachineMemory();
double LoadAverage();
int Priority();

// --- Statistics and JSON (measures.cpp) ---------------------------------------

double Median(std::vector<double> v);
QJsonArray ToJson(const std::vector<double>& values);

// --- Suites ------------------------------------------------------------------

// Runs every scenario `runs` times over the file in `folder`, prints the
// medians and returns every figure (suite.cpp).
std::optional<QJsonObject> RunSuite(const QString& folder, const std::vector<Scenario>& scenarios,
                                    int runs);

// The suites over 100,000 and 1,000,000 records made from the file in
// `data`, and the reader's own speed beside grep's, which go into `report`
// (large_suite.cpp).
std::optional<QJsonArray> RunLarge(const QString& data, const std::vector<Scenario>& scenarios,
                                   int runs, QJsonObject& report);

// --- Start-up (startup.cpp) --------------------------------------------------

// The child's side: shows the window over `data`, says so and reports its
// idle memory.
int StartupProbe(const QString& data);
// Starts this program as a probe `runs` times and times each to its first
// shown window.
std::optional<QJsonObject> MeasureStartup(const QString& data, int runs);

// --- The JSON report (report.cpp) --------------------------------------------

// Where the figures were measured: the machine is shared and the platform
// decides what painting costs.
QJsonObject Machine();
bool WriteJson(const QString& path, QJsonObject report);

}  // namespace korvallestin::bench
