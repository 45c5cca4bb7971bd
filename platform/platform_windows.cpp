// The interface in platform.h on Windows: files are named in UTF-16 and
// opened as handles, which any folder name can reach.
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform.h"

namespace korvallestin {

namespace {

// UTF-8 to UTF-16. Strict, a malformed sequence gives an empty name, which
// names nothing; otherwise it becomes U+FFFD.
std::wstring Wide(const std::string& utf8, bool strict = true) {
    if (utf8.empty()) {
        return {};
    }
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int size = static_cast<int>(utf8.size());
    const int wide_size = ::MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, nullptr, 0);
    if (wide_size <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, flags, utf8.data(), size, wide.data(), wide_size);
    return wide;
}

// UTF-16 to UTF-8. A name on disk need not be valid UTF-16 (an unpaired
// surrogate is allowed); such a unit becomes U+FFFD instead of failing.
std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int narrow_size =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (narrow_size <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(narrow_size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, narrow.data(), narrow_size, nullptr,
                          nullptr);
    return narrow;
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
        out = Narrow(std::wstring(text, length));
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

// The standard library's own conversions throw on a name that is not valid
// Unicode, and a name read from a folder may be anything NTFS allows: these
// never throw.
std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return {Wide(utf8, false)};
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    return Narrow(path.native());
}

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

long ResidentKb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters) == 0) {
        return 0;
    }
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

std::string ProgramFolder() {
    // Long enough for any path the system allows.
    std::wstring name(32768, L'\0');
    const DWORD length =
        ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0 || length >= name.size()) {
        return {};
    }
    name.resize(length);
    return Utf8FromPath(std::filesystem::path(name).parent_path());
}

std::vector<std::string> CommandLineArguments(int /*argc*/, char** /*argv*/) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        args.push_back(Utf8FromPath(std::filesystem::path(wide[i])));
    }
    ::LocalFree(wide);
    return args;
}

void PrepareConsoleStreams() {
    // The console shows UTF-8; files and pipes get the bytes as written, and
    // binary mode keeps a line feed from becoming CR LF (the program's output
    // is the same, byte for byte, on every system).
    ::SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

bool StandardOutputIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

bool StandardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

std::FILE* CreateNewFile(const std::string& utf8_path, std::string& error) {
    std::FILE* file = _wfopen(PathFromUtf8(utf8_path).c_str(), L"wbx");
    if (file == nullptr) {
        error = std::strerror(errno);
    }
    return file;
}

bool PutFileInPlace(const std::string& from, const std::string& to, std::string& error) {
    if (::MoveFileExW(PathFromUtf8(from).c_str(), PathFromUtf8(to).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        error = Describe(::GetLastError());
        return false;
    }
    return true;
}

namespace {

std::wstring interrupt_path;
volatile LONG interrupt_armed = 0;

BOOL WINAPI RemoveOnControl(DWORD /*event*/) {
    if (interrupt_armed != 0) {
        ::DeleteFileW(interrupt_path.c_str());
    }
    return FALSE;  // the system's own handling ends the program
}

}  // namespace

void RemoveOnInterrupt(const std::string& utf8_path) {
    interrupt_armed = 0;
    interrupt_path = PathFromUtf8(utf8_path).wstring();
    interrupt_armed = 1;
    static const bool installed = ::SetConsoleCtrlHandler(RemoveOnControl, TRUE) != 0;
    (void)installed;
}

void ForgetOnInterrupt() {
    interrupt_armed = 0;
}

bool StandardInputIsTerminal() {
    return _isatty(_fileno(stdin)) != 0;
}

std::FILE* OpenScratchFile(std::string& error) {
    // In the user's own temporary folder; "D" deletes it when its last
    // handle closes, which the system does however the program ends.
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (::GetTempPathW(MAX_PATH + 1, folder) == 0 ||
        ::GetTempFileNameW(folder, L"kvl", 0, name) == 0) {
        error = "no temporary file can be made (error " + std::to_string(::GetLastError()) + ")";
        return nullptr;
    }
    std::FILE* file = _wfopen(name, L"w+bD");
    if (file == nullptr) {
        error = std::strerror(errno);
        ::DeleteFileW(name);
    }
    return file;
}

}  // namespace korvallestin
