// The process's and the machine's figures on Linux, from /proc.
#include <malloc.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "bench.h"

namespace korvallestin::bench {

namespace {

// The value of the first "key: value" line of a /proc file that starts with
// `key`.
std::string ProcValue(const char* file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            return line.substr(line.find(':') + 1);
        }
    }
    return {};
}

}  // namespace

double CpuMs() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

long PeakResidentKb() {
    return std::atol(ProcValue("/proc/self/status", "VmHWM:").c_str());
}

void ResetPeakMemory() {
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

void NoteMemory() {
    // The kernel keeps the peak itself (VmHWM), started anew by ResetPeakMemory.
}

QString ProcessorName() {
    return QString::fromStdString(ProcValue("/proc/cpuinfo", "model name")).trimmed();
}

QString MachineMemory() {
    return QString::fromStdString(ProcValue("/proc/meminfo", "MemTotal")).trimmed();
}

double LoadAverage() {
    std::ifstream in("/proc/loadavg");
    double load = -1;
    in >> load;
    return load;
}

int Priority() {
    return ::getpriority(PRIO_PROCESS, 0);
}

}  // namespace korvallestin::bench
