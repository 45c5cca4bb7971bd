// The interface in platform.h on Linux and other POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "platform.h"

namespace korvallestin {

// A path is its bytes here: nothing is converted, so nothing can fail.
std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return {std::u8string(utf8.begin(), utf8.end())};
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

ReadOnlyFile::Status ReadOnlyFile::OpenUnchecked(const std::string& utf8_path) {
    Close();
    error_.clear();
    // O_NONBLOCK: a pipe put in place of the file must not block the window;
    // on an ordinary file it changes nothing.
    const int fd = ::open(utf8_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int err = errno;
        return (err == ENOENT || err == ENOTDIR) ? Fail(Status::NotFound)
                                                 : Fail(Status::System, std::strerror(err));
    }
    handle_ = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return Fail(Status::System, std::strerror(errno));
    }
    if (S_ISDIR(st.st_mode)) {
        return Fail(Status::Folder);
    }
    if (!S_ISREG(st.st_mode)) {
        return Fail(Status::NotRegular);
    }
    return Status::Opened;
}

std::ptrdiff_t ReadOnlyFile::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
        if (n >= 0) {
            return n;
        }
        if (errno != EINTR) {
            error_ = std::strerror(errno);
            return -1;
        }
    }
}

void ReadOnlyFile::Close() {
    if (handle_ != kNoHandle) {
        ::close(static_cast<int>(handle_));
        handle_ = kNoHandle;
    }
}

long ResidentKb() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0;
    long resident = 0;
    if (f != nullptr) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

std::string ProgramFolder() {
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : Utf8FromPath(program.parent_path());
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

void PrepareConsoleStreams() {
    // Bytes are written as they are; the terminal decides how to show them.
    // A closed pipe makes a write fail with EPIPE, which the program answers
    // as it does on Windows, rather than a signal that ends it mid-write.
    ::signal(SIGPIPE, SIG_IGN);
}

void RestoreConsoleStreams() {
    // Nothing was changed.
}

bool StandardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) != 0;
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

bool WriteHitClosedPipe() {
    return errno == EPIPE;
}

OutputKind InspectOutputName(const std::string& utf8_path, std::string& resolved,
                             std::string& error) {
    resolved = utf8_path;
    // Links are followed one by one, as the system would, so that the name
    // a dangling link leads to is known too.
    for (int links = 0; links < 40; ++links) {
        struct stat st {};
        if (::lstat(resolved.c_str(), &st) != 0) {
            const int err = errno;
            if (err == ENOENT) {
                return OutputKind::Missing;
            }
            error = std::strerror(err);
            return OutputKind::System;
        }
        if (S_ISREG(st.st_mode)) {
            return OutputKind::File;
        }
        if (S_ISDIR(st.st_mode)) {
            return OutputKind::Folder;
        }
        if (!S_ISLNK(st.st_mode)) {
            return OutputKind::NotRegular;
        }
        std::error_code ec;
        const std::filesystem::path link = PathFromUtf8(resolved);
        const std::filesystem::path to = std::filesystem::read_symlink(link, ec);
        if (ec) {
            error = ec.message();
            return OutputKind::System;
        }
        resolved = Utf8FromPath(to.is_absolute() ? to : link.parent_path() / to);
    }
    error = std::strerror(ELOOP);
    return OutputKind::System;
}

std::size_t LongestFileName(const std::string& folder) {
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : std::size_t{NAME_MAX};
}

std::FILE* CreateNewFile(const std::string& utf8_path, std::string& error, bool owner_only) {
    const int fd = ::open(utf8_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          owner_only ? 0600 : 0666);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        ::close(fd);
    }
    return file;
}

bool PutFileInPlace(std::FILE* file, const std::string& from, const std::string& to,
                    std::string& error) {
    const int fd = ::fileno(file);
    int err = std::fflush(file) == 0 ? 0 : errno;
    // The file it replaces, if any, gives its permissions and, where the
    // system lets this process, its owner and group.
    struct stat old {};
    struct stat now {};
    if (err == 0 && ::stat(to.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::fstat(fd, &now) == 0) {
        if (old.st_uid != now.st_uid || old.st_gid != now.st_gid) {
            // Not allowed to most users: the file is then theirs, as any
            // file they write is.
            if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
                // Kept as this process made it.
            }
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            err = errno;
        }
    }
    // On disk before it takes the old file's place: after a crash one or
    // the other is there whole. A file system that cannot sync says EINVAL.
    if (err == 0 && ::fsync(fd) != 0 && errno != EINVAL) {
        err = errno;
    }
    if (std::fclose(file) != 0 && err == 0) {
        err = errno;
    }
    if (err != 0) {
        error = std::strerror(err);
        return false;
    }
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        error = std::strerror(errno);
        return false;
    }
    // The rename itself, on disk: the folder's entry.
    const std::string folder = Utf8FromPath(PathFromUtf8(to).parent_path());
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

namespace {

// The name the interrupt handler removes; written before the handler can
// run, read only by it.
char interrupt_path[4096];
volatile std::sig_atomic_t interrupt_armed = 0;

extern "C" void RemoveAndLeave(int signal) {
    if (interrupt_armed != 0) {
        ::unlink(interrupt_path);
    }
    // Ends as the signal would have ended the program.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace

void RemoveOnInterrupt(const std::string& utf8_path) {
    interrupt_armed = 0;
    if (utf8_path.size() >= sizeof interrupt_path) {
        return;
    }
    std::memcpy(interrupt_path, utf8_path.c_str(), utf8_path.size() + 1);
    interrupt_armed = 1;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        // A signal the program was started to ignore (nohup, a background
        // job) stays ignored.
        struct sigaction now {};
        if (::sigaction(signal, nullptr, &now) == 0 && now.sa_handler != SIG_IGN) {
            ::signal(signal, RemoveAndLeave);
        }
    }
}

void ForgetOnInterrupt() {
    interrupt_armed = 0;
}

bool StandardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) != 0;
}

std::FILE* OpenScratchFile(std::string& error) {
    // The C library's temporary file is made with mode 0600 and has no name
    // from the start, so nothing is left behind.
    std::FILE* file = std::tmpfile();
    if (file == nullptr) {
        error = std::strerror(errno);
    }
    return file;
}

}  // namespace korvallestin
