#pragma once

// What differs between the systems the program runs on, behind one small
// interface: reading a file by a UTF-8 name, the window font's family, how
// often a busy loop looks at the window system's event queue, the memory the
// process holds, the mark that the program is running and where a mistake on
// the command line is told.
// platform_posix.cpp and platform_windows.cpp implement it; the build picks
// one. Plain C++, no Qt.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace korvallestin {

// A path from UTF-8 text and back. On Windows a narrow string would be read
// in the local code page, which cannot name most folders, so paths are always
// made from UTF-8 explicitly.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// An ordinary file opened for reading only. Anything else a name may stand
// for (a folder, a device, a pipe, a socket) is refused: it is checked by
// name before it is opened, so that a device is never opened at all, and
// again once opened, since the name may have been given to something else in
// between. Opening never blocks, and nothing is ever written.
class ReadOnlyFile {
  public:
    enum class Status {
        Opened,
        NotFound,    // no file of that name
        Folder,      // the name belongs to a folder
        NotRegular,  // a device, pipe or socket
        System,      // the system refused: see Error
    };

    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Checks the name, opens it and checks what was opened.
    Status Open(const std::string& utf8_path);
    // Opens without checking the name first, then checks what was opened:
    // the second of Open's guards on its own.
    Status OpenUnchecked(const std::string& utf8_path);
    // Up to `size` bytes into `buffer`: the count read, 0 at the end of the
    // file, or -1 when the read fails (see Error).
    std::ptrdiff_t Read(char* buffer, std::size_t size);
    void Close();
    bool IsOpen() const { return handle_ != kNoHandle; }

    // The system's own words for the last failure of Open or Read, with no
    // full stop at the end.
    const std::string& Error() const { return error_; }

  private:
    static constexpr std::intptr_t kNoHandle = -1;

    Status Fail(Status status, std::string error = {});

    std::intptr_t handle_ = kNoHandle;  // a descriptor or a handle, by system
    std::string error_;
};

// The family of the window's font: one with Arial's metrics, so that every
// caption needs the same room wherever the program runs.
const char* WindowFontFamily();

// How long a busy loop may go between looks at the window system's event
// queue; zero where every turn may look. Either way it is far below a display
// frame, so the window answers a click or a key as promptly to the eye.
std::chrono::microseconds EventLookSpacing();

// The memory this process holds now (its resident set, or on Windows its
// working set), in kB; 0 when the system does not say.
long ResidentKb();

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
