#pragma once

// What differs between systems for the window alone: its font's family and
// how often a busy loop looks at the window system's event queue.
// window_system_posix.cpp and window_system_windows.cpp implement it; the
// build picks one. Plain C++, no Qt.

#include <chrono>

namespace korvallestin {

// The family of the window's font: one with Arial's metrics, so that every
// caption needs the same room wherever the program runs.
const char* WindowFontFamily();

// How long a busy loop may go between looks at the window system's event
// queue; zero where every turn may look. Either way it is far below a display
// frame, so the window answers a click or a key as promptly to the eye.
std::chrono::microseconds EventLookSpacing();

}  // namespace korvallestin
