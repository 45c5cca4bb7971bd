// The interface in platform.h on Linux and other POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
}

bool StandardOutputIsTerminal() {
    return ::isatty(STDOUT_FILENO) != 0;
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

std::FILE* CreateNewFile(const std::string& utf8_path, std::string& error) {
    const int fd = ::open(utf8_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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

bool PutFileInPlace(const std::string& from, const std::string& to, std::string& error) {
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        error = std::strerror(errno);
        return false;
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
