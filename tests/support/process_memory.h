#pragma once

namespace korvallestin::testing {

// The memory this process holds now, in kB (process_memory_posix.cpp or
// process_memory_windows.cpp, by system).
long ResidentKb();

}  // namespace korvallestin::testing
