#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>

#include "process_memory.h"

namespace korvallestin::testing {

long ResidentKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters) == 0) {
        return 0;
    }
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

}  // namespace korvallestin::testing
