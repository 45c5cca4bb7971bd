#pragma once

// What differs between systems for the window alone: its font's family, how
// often a busy loop looks at the window system's event queue, whether the
// user asked for a high-contrast theme, the mark that the program runs and
// where a mistake on its command line is told.
// window_system_posix.cpp and window_system_windows.cpp implement it; the
// build picks one. Plain C++, no Qt.

#include <chrono>
#include <string>

namespace korvallestin {

// The family of the window's font: one with Arial's metrics, so that every
// caption needs the same room wherever the program runs.
const char* WindowFontFamily();

// How long a busy loop may go between looks at the window system's event
// queue; zero where every turn may look. Either way it is far below a display
// frame, so the window answers a click or a key as promptly to the eye.
std::chrono::microseconds EventLookSpacing();

// Whether the user has asked the system for a high-contrast theme, whose
// colours should then win over the program's own. Linux desktops have no
// such setting that all programs share: there it is always false.
bool HighContrastThemeOn();

// Marks, for as long as this process lives, that the program is running, so
// that its installer and uninstaller can ask for it to be closed before they
// replace or remove its files. On Windows the mark is a named mutex, the one
// packaging/windows/korvallestin.nsi looks for; elsewhere no installer looks
// and nothing is done.
void MarkProgramRunning();

// Tells the user of a mistake on the command line (`text`, UTF-8: the mistake
// and the usage) where they will see it, as Qt answers --help: on standard
// error, or, for a Windows program with neither a console nor standard
// handles (started from a shortcut or a command prompt), in a message box
// with the title `title`.
void ShowCommandLineMistake(const std::string& title, const std::string& text);

}  // namespace korvallestin
