// The interface in platform.h on Windows: files are named in UTF-16 and
// opened as handles, which any folder name can reach.
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>

#include <cstdio>
#include <limits>

#include "platform.h"

namespace korvallestin {

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int wide_size =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (wide_size <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), wide_size);
    return wide;
}

// The system's message for an error code, in UTF-8, without the full stop
// and line end that Windows puts at its end.
std::string Describe(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out;
    if (length > 0 && text != nullptr) {
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr,
                                               0, nullptr, nullptr);
        out.resize(static_cast<std::size_t>(size > 0 ? size : 0));
        ::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), size, nullptr,
                              nullptr);
    }
    ::LocalFree(text);
    while (!out.empty() &&
           (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.')) {
        out.pop_back();
    }
    return out.empty() ? "error " + std::to_string(code) : out;
}

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);  // NOLINT(performance-no-int-to-ptr)
}

}  // namespace

ReadOnlyFile::Status ReadOnlyFile::OpenUnchecked(const std::string& utf8_path) {
    Close();
    error_.clear();
    const std::wstring path = Wide(utf8_path);
    if (path.empty()) {
        return Fail(Status::NotFound);
    }
    // Others may read, write or delete the file meanwhile, as they may on
    // Linux. Folders open too (backup semantics), so that they can be told
    // apart from files rather than failing with "access denied".
    const HANDLE h = ::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ||
            err == ERROR_INVALID_NAME || err == ERROR_BAD_NETPATH) {
            return Fail(Status::NotFound);
        }
        return Fail(Status::System, Describe(err));
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        return Fail(Status::NotRegular);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileInformationByHandle(h, &info) == 0) {
        return Fail(Status::System, Describe(::GetLastError()));
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return Fail(Status::Folder);
    }
    return Status::Opened;
}

std::ptrdiff_t ReadOnlyFile::Read(char* buffer, std::size_t size) {
    const DWORD wanted = size > std::numeric_limits<DWORD>::max()
                             ? std::numeric_limits<DWORD>::max()
                             : static_cast<DWORD>(size);
    DWORD got = 0;
    if (::ReadFile(AsHandle(handle_), buffer, wanted, &got, nullptr) == 0) {
        error_ = Describe(::GetLastError());
        return -1;
    }
    return static_cast<std::ptrdiff_t>(got);
}

void ReadOnlyFile::Close() {
    if (handle_ != kNoHandle) {
        ::CloseHandle(AsHandle(handle_));
        handle_ = kNoHandle;
    }
}

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

long ResidentKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters) == 0) {
        return 0;
    }
    return static_cast<long>(counters.WorkingSetSize / 1024);
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
    ::MessageBoxW(nullptr, Wide(text).c_str(), Wide(title).c_str(),
                  MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
}

}  // namespace korvallestin
