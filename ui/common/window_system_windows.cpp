// The interface in window_system.h on Windows.
#include "window_system.h"

namespace korvallestin {

const char* WindowFontFamily() {
    // Every Windows has Arial; Liberation Sans, used elsewhere, shares its metrics.
    return "Arial";
}

std::chrono::microseconds EventLookSpacing() {
    // Each look is several calls into the window system: kernel calls on
    // Windows, and under Wine round trips to its server, about 150
    // microseconds a look in all. One look a millisecond bounds their share
    // of a long run's time.
    return std::chrono::milliseconds(1);
}

}  // namespace korvallestin
