// The interface in platform.h on Windows: files are named in UTF-16 and
// opened as handles, which any folder name can reach.
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "platform.h"
#include "platform_windows.h"

namespace korvallestin {

std::wstring Wide(const std::string& utf8, bool strict) {
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

namespace {

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

namespace {

// The file the Ctrl+C handler removes; written while it is disarmed.
std::wstring interrupt_path;
volatile LONG interrupt_armed = 0;
// The console's own code page, while it is told to show UTF-8.
UINT original_output_code_page = 0;
volatile LONG code_page_changed = 0;

// Ctrl+C, Ctrl+Break, the console closed: the code page back, the temporary
// file removed (it is open with FILE_SHARE_DELETE, so the removal is allowed
// and done when the process ends), then the system's own handling ends the
// program.
BOOL WINAPI OnControl(DWORD /*event*/) {
    RestoreConsoleStreams();
    if (interrupt_armed != 0) {
        ::DeleteFileW(interrupt_path.c_str());
    }
    return FALSE;
}

void HandleControlEvents() {
    static const bool installed = ::SetConsoleCtrlHandler(OnControl, TRUE) != 0;
    (void)installed;
}

extern "C" void RestoreAtExit() {
    RestoreConsoleStreams();
}

}  // namespace

void PrepareConsoleStreams() {
    // The console shows UTF-8; files and pipes get the bytes as written, and
    // binary mode keeps a line feed from becoming CR LF (the program's output
    // is the same, byte for byte, on every system). The console is shared
    // with the command prompt that started the program: its code page goes
    // back as it was when the program ends.
    const UINT code_page = ::GetConsoleOutputCP();
    if (code_page != 0 && code_page != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8) != 0) {
        original_output_code_page = code_page;
        ::InterlockedExchange(&code_page_changed, 1);
        std::atexit(RestoreAtExit);
    }
    HandleControlEvents();
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void RestoreConsoleStreams() {
    if (::InterlockedExchange(&code_page_changed, 0) != 0) {
        ::SetConsoleOutputCP(original_output_code_page);
    }
}

namespace {

// A console, not a file, a pipe or the null device (which _isatty takes for
// a terminal, as it is a character device).
bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

bool IsNotFound(DWORD err) {
    return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND;
}

}  // namespace

bool StandardOutputIsTerminal() {
    return IsConsole(STD_OUTPUT_HANDLE);
}

bool StandardErrorIsTerminal() {
    return IsConsole(STD_ERROR_HANDLE);
}

bool WriteHitClosedPipe() {
    // The runtime's errno says EINVAL for these; the system's code tells.
    // Windows says ERROR_NO_DATA (the pipe is being closed), Wine
    // ERROR_PIPE_NOT_CONNECTED.
    const DWORD err = ::GetLastError();
    return errno == EPIPE || err == ERROR_NO_DATA || err == ERROR_BROKEN_PIPE ||
           err == ERROR_PIPE_NOT_CONNECTED;
}

OutputKind InspectOutputName(const std::string& utf8_path, std::string& resolved,
                             std::string& error) {
    resolved = utf8_path;
    const std::wstring path = PathFromUtf8(utf8_path).native();
    // Opened to be looked at only (no access asked): devices and pipes are
    // found that way, as their names are not in any folder.
    const HANDLE h =
        ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        if (IsNotFound(err)) {
            return OutputKind::Missing;
        }
        error = Describe(err);
        return OutputKind::System;
    }
    OutputKind kind = OutputKind::File;
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        kind = OutputKind::NotRegular;
    } else if (::GetFileInformationByHandle(h, &info) == 0) {
        error = Describe(::GetLastError());
        kind = OutputKind::System;
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        kind = OutputKind::Folder;
    } else {
        // A symbolic link: the file it leads to is the one to replace.
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            std::wstring final_path(32768, L'\0');
            const DWORD length = ::GetFinalPathNameByHandleW(
                h, final_path.data(), static_cast<DWORD>(final_path.size()), 0);
            if (length > 0 && length < final_path.size()) {
                final_path.resize(length);
                resolved = Narrow(final_path);
            }
        }
    }
    ::CloseHandle(h);
    return kind;
}

std::size_t LongestFileName(const std::string& /*folder*/) {
    return 255;
}

std::FILE* CreateNewFile(const std::string& utf8_path, std::string& error, bool /*owner_only*/) {
    // FILE_SHARE_DELETE: the Ctrl+C handler may remove it while it is open.
    const HANDLE h = ::CreateFileW(PathFromUtf8(utf8_path).c_str(), GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = Describe(::GetLastError());
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        error = std::strerror(errno);
        ::CloseHandle(h);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        _close(fd);
    }
    return file;
}

namespace {

// Gives the file `to` the access list of the file `from`, when it has one
// that can be read; nothing otherwise.
void CopyAccessList(const std::wstring& from, const std::wstring& to) {
    DWORD size = 0;
    ::GetFileSecurityW(from.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
    if (size == 0) {
        return;
    }
    std::vector<char> descriptor(size);
    if (::GetFileSecurityW(from.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size,
                           &size) != 0) {
        ::SetFileSecurityW(to.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
    }
}

}  // namespace

bool PutFileInPlace(std::FILE* file, const std::string& from, const std::string& to,
                    std::string& error) {
    // On disk before it takes the old file's place.
    bool written = std::fflush(file) == 0;
    DWORD err = ERROR_SUCCESS;
    if (written &&
        ::FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) == 0) {
        err = ::GetLastError();
    }
    written = std::fclose(file) == 0 && written;
    if (!written || err != ERROR_SUCCESS) {
        error = err != ERROR_SUCCESS ? Describe(err) : std::string(std::strerror(errno));
        return false;
    }
    const std::wstring source = PathFromUtf8(from).native();
    const std::wstring target = PathFromUtf8(to).native();
    // Over a file, ReplaceFileW: the new file takes the old one's security
    // settings (its ACL), attributes and creation time, as an editor's save
    // keeps them. A name with no file yet is a plain rename. Wine's
    // ReplaceFileW keeps no access list, so it is copied first as well.
    CopyAccessList(target, source);
    if (::ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr) != 0) {
        return true;
    }
    err = ::GetLastError();
    if (IsNotFound(err) && ::GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0) {
            return true;
        }
        err = ::GetLastError();
    }
    error = Describe(err);
    return false;
}

void RemoveOnInterrupt(const std::string& utf8_path) {
    interrupt_armed = 0;
    interrupt_path = PathFromUtf8(utf8_path).wstring();
    interrupt_armed = 1;
    HandleControlEvents();
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
