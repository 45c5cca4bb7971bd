// What only Windows has: devices by name, named pipes, and file names that
// are not valid UTF-16 (NTFS allows any 16-bit units but a few).
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "data_file.h"
#include "platform.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

using testing::TempDir;
using Status = ReadOnlyFile::Status;

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// A file made by its UTF-16 name, which need not be valid UTF-16.
class WideNamedFile {
  public:
    WideNamedFile(const std::string& folder, const std::wstring& name)
        : path_(PathFromUtf8(folder).native() + L"\\" + name) {
        const HANDLE h = ::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        made_ = h != INVALID_HANDLE_VALUE;
        if (made_) {
            ::CloseHandle(h);
        }
    }
    ~WideNamedFile() {
        if (made_) {
            ::DeleteFileW(path_.c_str());
        }
    }
    WideNamedFile(const WideNamedFile&) = delete;
    WideNamedFile& operator=(const WideNamedFile&) = delete;
    bool Made() const { return made_; }

  private:
    std::wstring path_;
    bool made_ = false;
};

// Names that are not valid UTF-16, as NTFS allows them: an unpaired
// surrogate becomes U+FFFD, and nothing throws.
TEST(OddNames, UnpairedSurrogatesBecomeReplacementCharacters) {
    const struct {
        std::wstring name;
        std::string utf8;
    } cases[] = {
        {std::wstring(L"post") + wchar_t{0xD800} + L"codes.csv",
         "post" + kReplacement + "codes.csv"},                                // high half alone
        {std::wstring(1, wchar_t{0xDC00}) + L".csv", kReplacement + ".csv"},  // low half alone
        {std::wstring(L"a") + wchar_t{0xDFFF} + wchar_t{0xD800},
         "a" + kReplacement + kReplacement},                                    // halves reversed
        {std::wstring(L"Zo\u00EB \U0001F600"), "Zo\xC3\xAB \xF0\x9F\x98\x80"},  // a pair: kept
    };
    for (const auto& c : cases) {
        std::string utf8;
        EXPECT_NO_THROW(utf8 = Utf8FromPath(std::filesystem::path(c.name)));
        EXPECT_EQ(utf8, c.utf8);
    }
    // Text that is not UTF-8 makes a path too, with U+FFFD in its place.
    std::filesystem::path path;
    EXPECT_NO_THROW(path = PathFromUtf8("bad \xC3( \xFF name"));
    EXPECT_EQ(Utf8FromPath(path), "bad " + kReplacement + "( " + kReplacement + " name");
}

// Such names in the program's folder, beside the data file, whose name
// differs from the expected one only in case, so that the folder is searched
// name by name: nothing throws and the data file is found. Made through the
// wide API; a system that cannot store such a name (Wine, whose files live
// on a Unix file system, refuses it) gives the test nothing to list.
TEST(OddNames, UnpairedSurrogatesInTheProgramsFolderThrowNothing) {
    TempDir dir;
    const std::wstring odd_names[] = {
        std::wstring(L"post") + wchar_t{0xD800} + L"codes.csv",
        std::wstring(1, wchar_t{0xDC00}) + L".csv",
    };
    std::vector<std::unique_ptr<WideNamedFile>> files;
    for (const std::wstring& name : odd_names) {
        files.push_back(std::make_unique<WideNamedFile>(dir.Path(), name));
        if (!files.back()->Made()) {
            GTEST_SKIP() << "the system refuses a name with an unpaired surrogate (error "
                         << ::GetLastError() << ")";
        }
    }
    const std::string data = dir.Write("POSTCODES.csv", "h");
    int odd = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(dir.Path()))) {
        std::string name;
        EXPECT_NO_THROW(name = Utf8FromPath(entry.path().filename()));
        odd += name.find(kReplacement) != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(odd, 2);
    std::string found;
    EXPECT_NO_THROW(found = PostcodeFilePath(dir.Path()));
    EXPECT_EQ(found, data);
}

// A named pipe of this process's own, with nobody ever writing to it. Each
// instance takes one client: Listen makes one more.
class Pipe {
  public:
    Pipe() : name_("\\\\.\\pipe\\korv-test-" + std::to_string(::GetCurrentProcessId())) {}
    ~Pipe() {
        for (const HANDLE h : instances_) {
            ::CloseHandle(h);
        }
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    bool Listen() {
        const HANDLE h = ::CreateNamedPipeW(PathFromUtf8(name_).c_str(), PIPE_ACCESS_OUTBOUND,
                                            PIPE_TYPE_BYTE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES,
                                            4096, 4096, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            return false;
        }
        instances_.push_back(h);
        return true;
    }
    const std::string& Name() const { return name_; }

  private:
    std::string name_;
    std::vector<HANDLE> instances_;
};

struct Outcome {
    Status status;
    std::string error;
};

// Opens `path` on a thread of its own and waits for it at most ten seconds:
// a name that blocks the opening fails the test instead of hanging it.
std::optional<Outcome> OpenWithin(const std::string& path, bool checked) {
    auto result = std::make_shared<std::promise<Outcome>>();
    std::future<Outcome> done = result->get_future();
    std::thread([result, path, checked] {
        ReadOnlyFile file;
        const Status status = checked ? file.Open(path) : file.OpenUnchecked(path);
        result->set_value({status, file.Error()});
    }).detach();
    if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        return std::nullopt;
    }
    return done.get();
}

// Devices, a pipe and a folder are refused at once, each with its cause,
// whether the name is looked at first or only what was opened.
TEST(NotAFile, DevicesPipesAndFoldersAreRefusedAtOnce) {
    TempDir dir;
    Pipe pipe;
    struct Case {
        const char* what;
        std::string path;
        Status status;
    };
    const Case cases[] = {
        {"the null device", "NUL", Status::NotRegular},
        {"the null device in a folder", dir.File("NUL"), Status::NotRegular},
        // A device where the process has a console; without one, the
        // system refuses to open it, in its own words.
        {"the console's input", "CONIN$",
         ::GetConsoleWindow() != nullptr ? Status::NotRegular : Status::System},
        {"a named pipe", pipe.Name(), Status::NotRegular},
        {"a folder", dir.Path(), Status::Folder},
    };
    for (const Case& c : cases) {
        for (const bool checked : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (checked ? ", name checked" : ", opened"));
            if (c.path == pipe.Name()) {
                ASSERT_TRUE(pipe.Listen()) << ::GetLastError();
            }
            const std::optional<Outcome> outcome = OpenWithin(c.path, checked);
            ASSERT_TRUE(outcome.has_value()) << "still opening after ten seconds";
            EXPECT_EQ(outcome->status, c.status) << outcome->error;
            EXPECT_EQ(outcome->error.empty(), c.status != Status::System) << outcome->error;
        }
    }
}

}  // namespace
}  // namespace korvallestin
