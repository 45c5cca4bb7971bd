// The interface in window_system.h on Windows.
#include "window_system.h"

#include <windows.h>

#include <cstdio>

#include "platform_windows.h"

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

bool HighContrastThemeOn() {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof setting;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, setting.cbSize, &setting, 0) != 0 &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void MarkProgramRunning() {
    // The installer looks for this name (korvallestin.nsi, RUNNING_MUTEX). The
    // handle is never closed: the system releases the mutex when the process
    // ends, however it ends.
    static const HANDLE mark = ::CreateMutexW(nullptr, FALSE, L"Korvallestin.Running");
    static_cast<void>(mark);
}

void ShowCommandLineMistake(const std::string& title, const std::string& text) {
    // Qt's own rule for --help: a console, or standard handles given by
    // whoever started the program (a script, a pipe), get the text; a
    // program started with neither would write it where no one sees it.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    if (::GetConsoleWindow() != nullptr || (startup.dwFlags & STARTF_USESTDHANDLES) != 0) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
        return;
    }
    // Bad bytes in the text are shown replaced rather than losing it all.
    ::MessageBoxW(nullptr, Wide(text, false).c_str(), Wide(title, false).c_str(),
                  MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
}

}  // namespace korvallestin
