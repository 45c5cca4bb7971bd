// The process's and the machine's figures on Windows.
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>

#include <algorithm>

#include "bench.h"

namespace korvallestin::bench {

namespace {

double Ms(const FILETIME& time) {
    ULARGE_INTEGER ticks{};
    ticks.LowPart = time.dwLowDateTime;
    ticks.HighPart = time.dwHighDateTime;
    return static_cast<double>(ticks.QuadPart) / 1e4;  // 100 ns ticks
}

PROCESS_MEMORY_COUNTERS Counters() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

}  // namespace

double CpuMs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Ms(kernel) + Ms(user);
}

// Windows keeps one peak of the working set for the whole life of the process
// and cannot start a new one. So a scenario's peak is found in one of two
// ways. When the lifetime peak rose during the scenario, the new peak was
// reached in it: that is the scenario's peak, exactly. Otherwise the scenario
// stayed below an earlier high, and its peak is the largest working set seen
// at its start, at its looks at the event queue (NoteMemory) and at its end;
// a rise and fall between two looks (at most a millisecond apart) escapes it.
namespace {
SIZE_T lifetime_peak_at_reset = 0;
SIZE_T largest_seen = 0;
}  // namespace

long PeakResidentKb() {
    const PROCESS_MEMORY_COUNTERS now = Counters();
    const SIZE_T peak = now.PeakWorkingSetSize > lifetime_peak_at_reset
                            ? now.PeakWorkingSetSize
                            : std::max(largest_seen, now.WorkingSetSize);
    return static_cast<long>(peak / 1024);
}

// The working set is left as it is: emptied, each run would pay to fault its
// pages back in, which no user's search does.
void ResetPeakMemory() {
    const PROCESS_MEMORY_COUNTERS now = Counters();
    lifetime_peak_at_reset = now.PeakWorkingSetSize;
    largest_seen = now.WorkingSetSize;
}

void NoteMemory() {
    largest_seen = std::max(largest_seen, Counters().WorkingSetSize);
}

QString ProcessorName() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                        0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t name[256] = {};
    DWORD size = sizeof name - sizeof name[0];
    const LSTATUS got = ::RegQueryValueExW(key, L"ProcessorNameString", nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(name), &size);
    ::RegCloseKey(key);
    return got == ERROR_SUCCESS ? QString::fromWCharArray(name).trimmed() : QString();
}

QString MachineMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ::GlobalMemoryStatusEx(&status);
    return QString::number(status.ullTotalPhys / 1024) + QStringLiteral(" kB");
}

double LoadAverage() {
    return -1;  // Windows keeps no load average
}

int Priority() {
    // Nice values in the order Windows' priority classes stand.
    switch (::GetPriorityClass(::GetCurrentProcess())) {
        case IDLE_PRIORITY_CLASS:
            return 19;
        case BELOW_NORMAL_PRIORITY_CLASS:
            return 10;
        case ABOVE_NORMAL_PRIORITY_CLASS:
            return -5;
        case HIGH_PRIORITY_CLASS:
            return -10;
        case REALTIME_PRIORITY_CLASS:
            return -20;
        default:
            return 0;
    }
}

}  // namespace korvallestin::bench
