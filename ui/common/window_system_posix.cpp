// The interface in window_system.h on Linux and other POSIX systems.
#include "window_system.h"

#include <cstdio>

namespace korvallestin {

const char* WindowFontFamily() {
    // Debian's fonts-liberation2, which the package depends on.
    return "Liberation Sans";
}

std::chrono::microseconds EventLookSpacing() {
    // A look is a poll of the display connection: every turn may have one.
    return std::chrono::microseconds::zero();
}

bool HighContrastThemeOn() {
    return false;
}

void MarkProgramRunning() {}

void ShowCommandLineMistake(const std::string& /*title*/, const std::string& text) {
    // fprintf, as the program has always written its usage: the hardened
    // build checks it (the package's checks look for such a checked call).
    std::fprintf(stderr, "%s", text.c_str());
    std::fflush(stderr);
}

}  // namespace korvallestin
