#pragma once

// What differs between the systems the program runs on, behind one small
// interface: reading a file by a UTF-8 name, the program's own folder, the
// console's streams, replacing a file, and the memory the process holds.
// What only the window needs is in ui/common/window_system.h.
// platform_posix.cpp and platform_windows.cpp implement it; the build picks
// one. Plain C++, no Qt.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace korvallestin {

// A path from UTF-8 text and back. On Windows a narrow string would be read
// in the local code page, which cannot name most folders, so paths are always
// made from UTF-8 explicitly.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// An ordinary file opened for reading only. Anything else a name may stand
// for (a folder, a device, a pipe, a socket) is refused: it is checked by
// name before it is opened, so that a device the system can name is never
// opened at all, and again once opened, since the name may have been given
// to something else in between (Windows' devices and pipes are found only
// that way). Opening never blocks, and nothing is ever written.
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

// The folder that holds the program's own executable file, the real file
// with links followed, in the system's spelling (backslashes on Windows); empty
// when the system does not say.
std::string ProgramFolder();

// The program's arguments after its name, in UTF-8 (Windows hands main()
// them in the local code page, which cannot hold most names).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Sets up the standard streams of a console program: bytes go out as they
// are written, UTF-8 text included, and a line feed stays one byte; a write to
// a pipe whose reader has gone fails (see WriteHitClosedPipe) instead of
// ending the program at once. On Windows the console is told to show UTF-8
// (its own code page comes back at exit, also on Ctrl+C) and the three
// streams are put in binary mode.
void PrepareConsoleStreams();
// Gives the console back the code page it had before PrepareConsoleStreams;
// nothing where nothing was changed. Called at exit and on Ctrl+C.
void RestoreConsoleStreams();

// True when standard output, or standard error, is a terminal (a console
// window on Windows; a file, a pipe or the null device is none).
bool StandardOutputIsTerminal();
bool StandardErrorIsTerminal();

// Called straight after a write to a stream failed: true when it failed
// because the stream is a pipe whose reader has closed it (`... | head`).
bool WriteHitClosedPipe();

// What an output's name leads to, symbolic links followed: nothing yet, an
// ordinary file, a folder, something else (a device, pipe or socket), or a
// name the system would not look at (its words in `error`). `resolved` is the
// name the links lead to (the name itself when it is no link): the file to
// replace, the link kept.
enum class OutputKind { Missing, File, Folder, NotRegular, System };
OutputKind InspectOutputName(const std::string& utf8_path, std::string& resolved,
                             std::string& error);

// The longest file name that `folder` surely takes, in bytes of UTF-8: the
// file system's own limit (NAME_MAX, 255 bytes on Linux). On Windows the
// limit is 255 UTF-16 units, which no name of 255 bytes can exceed.
std::size_t LongestFileName(const std::string& folder);

// Creates a new file for writing by a UTF-8 name; fails, with the system's
// words in `error`, when a file of that name exists already. With
// `owner_only`, only its owner may read it until PutFileInPlace gives it the
// permissions it is to have (POSIX); otherwise it has a new file's usual
// ones. On Windows it is opened so that it can be removed while it is open.
std::FILE* CreateNewFile(const std::string& utf8_path, std::string& error, bool owner_only = false);

// Puts the new file `from`, written through `file`, in the place of `to` in
// one step: flushed to disk first, then given the permissions and owner (on
// Windows, through ReplaceFileW, the security settings and attributes) of the
// file it replaces, if there is one. `file` is closed whatever happens. False,
// with the system's words in `error`, when it cannot be done; `from` is then
// left for the caller to remove.
bool PutFileInPlace(std::FILE* file, const std::string& from, const std::string& to,
                    std::string& error);

// Removes the file `utf8_path` if the program is interrupted (Ctrl+C) before
// ForgetOnInterrupt; one file at a time.
void RemoveOnInterrupt(const std::string& utf8_path);
void ForgetOnInterrupt();

// True when standard input is a terminal (a console window on Windows): a
// person is typing what the program reads.
bool StandardInputIsTerminal();

// A new file for writing and reading back, private to this user, that the
// system removes when it is closed or the program ends, however it ends;
// nullptr, with the system's words in `error`, when none can be made.
std::FILE* OpenScratchFile(std::string& error);

// The memory this process holds now (its resident set, or on Windows its
// working set), in kB; 0 when the system does not say.
long ResidentKb();

}  // namespace korvallestin
