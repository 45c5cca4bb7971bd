#include <unistd.h>

#include <cstdio>

#include "process_memory.h"

namespace korvallestin::testing {

long ResidentKb() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0;
    long resident = 0;
    if (f != nullptr) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace korvallestin::testing
