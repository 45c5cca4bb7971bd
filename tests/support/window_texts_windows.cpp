// Prints what a window shows: its title, then the text of each control in
// it, one a line, in UTF-8. scripts/windows-test reads message boxes with it
// (under Wine their text reaches no X tool).
//
//     window_texts TITLE
//
// Exits 1 when no top-level window has that title.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform_windows.h"

namespace {

// Asked of the window itself, which may belong to another process, with a
// bound on the wait.
std::wstring TextOf(HWND window) {
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, sizeof text / sizeof text[0],
                          reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    return {text, static_cast<std::size_t>(copied)};
}

BOOL CALLBACK PrintControl(HWND control, LPARAM /*unused*/) {
    const std::string text = korvallestin::Narrow(TextOf(control));
    if (!text.empty()) {
        std::printf("%s\n", text.c_str());
    }
    return TRUE;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_texts TITLE\n");
        return 2;
    }
    const HWND window = ::FindWindowA(nullptr, argv[1]);
    if (window == nullptr) {
        return 1;
    }
    std::printf("%s\n", korvallestin::Narrow(TextOf(window)).c_str());
    ::EnumChildWindows(window, PrintControl, 0);
    return 0;
}
