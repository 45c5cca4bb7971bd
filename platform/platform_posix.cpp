// The interface in platform.h on Linux and other POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform.h"

namespace korvallestin {

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

const char* WindowFontFamily() {
    // Debian's fonts-liberation2, which the package depends on.
    return "Liberation Sans";
}

std::chrono::microseconds EventLookSpacing() {
    // A look is a poll of the display connection: every turn may have one.
    return std::chrono::microseconds::zero();
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

void MarkProgramRunning() {}

void ShowCommandLineMistake(const std::string& /*title*/, const std::string& text) {
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace korvallestin
