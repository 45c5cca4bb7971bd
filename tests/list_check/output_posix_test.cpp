// An output file on POSIX systems: permissions, links, pipes and devices.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "output.h"
#include "platform.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

using testing::TempDir;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// The mode a new file gets here (0666 less the umask).
mode_t NewFileMode(const TempDir& dir) {
    return ModeOf(dir.Write("probe", ""));
}

// A private list stays private: the file replaced passes its permissions on,
// and what is written is readable by its owner only until then. Through a
// link, the file it leads to is replaced and the link stays. A pipe or a
// device is never replaced.
TEST(ReplacingFileOutputPosix, KeepsPermissionsAndLinksAndRefusesPipesAndDevices) {
    TempDir dir;
    const mode_t usual = NewFileMode(dir);
    struct Case {
        const char* what;
        std::string make;    // "file MODE", "link TARGET", "fifo", or "" for nothing
        std::string target;  // the name given
        std::string file;    // the file that ends up written ("" when refused)
        mode_t mode;         // its mode afterwards
    };
    const std::vector<Case> cases = {
        {"a private file", "file 600", "list.csv", "list.csv", 0600},
        {"a file its group reads", "file 640", "list.csv", "list.csv", 0640},
        {"a new file", "", "list.csv", "list.csv", usual},
        {"a link to a private file", "file 600|link list.csv", "link.csv", "list.csv", 0600},
        {"a link to a link", "file 640|link list.csv|link2 link.csv", "link2.csv", "list.csv",
         0640},
        {"a link to no file yet", "link list.csv", "link.csv", "list.csv", usual},
        {"a pipe", "fifo", "fifo.csv", "", 0},
        {"the null device", "", "/dev/null", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* name : {"list.csv", "link.csv", "link2.csv", "fifo.csv"}) {
            std::filesystem::remove(PathFromUtf8(dir.File(name)));
        }
        std::string make = c.make;
        while (!make.empty()) {
            const std::string step = make.substr(0, make.find('|'));
            make.erase(0, step.size() + (step.size() < make.size() ? 1 : 0));
            if (step.rfind("file ", 0) == 0) {
                dir.Write("list.csv", "old\n");
                ASSERT_EQ(
                    ::chmod(dir.File("list.csv").c_str(), std::stoi(step.substr(5), nullptr, 8)),
                    0);
            } else if (step.rfind("link ", 0) == 0) {
                ASSERT_EQ(::symlink(step.substr(5).c_str(), dir.File("link.csv").c_str()), 0);
            } else if (step.rfind("link2 ", 0) == 0) {
                ASSERT_EQ(::symlink(step.substr(6).c_str(), dir.File("link2.csv").c_str()), 0);
            } else if (step == "fifo") {
                ASSERT_EQ(::mkfifo(dir.File("fifo.csv").c_str(), 0600), 0);
            }
        }
        const std::string target = c.target[0] == '/' ? c.target : dir.File(c.target);
        const bool was_link = IsLink(target);
        ReplacingFileOutput output;
        std::string error;
        std::string why;
        EXPECT_EQ(CheckOutputName(target, why), !c.file.empty()) << why;
        if (c.file.empty()) {
            EXPECT_FALSE(output.Open(target, error));
            EXPECT_EQ(why,
                      "It is not an ordinary file (a device, pipe or socket), and is left alone.");
            EXPECT_EQ(error, why);
            continue;
        }
        ASSERT_TRUE(output.Open(target, error)) << error;
        ASSERT_TRUE(output.Write("rows\n"));
        ASSERT_TRUE(output.Flush());
        // Beside the file it replaces, not beside the link.
        EXPECT_EQ(PathFromUtf8(output.TemporaryPath()).parent_path(), PathFromUtf8(dir.Path()));
        EXPECT_EQ(ModeOf(output.TemporaryPath()),
                  c.make.find("file") != std::string::npos ? mode_t{0600} : usual);
        ASSERT_TRUE(output.Commit(error)) << error;
        EXPECT_EQ(testing::ReadFileBytes(dir.File(c.file)), "rows\n");
        EXPECT_EQ(ModeOf(dir.File(c.file)), c.mode);
        EXPECT_EQ(IsLink(target), was_link);
    }
}

// A write to a pipe that its reader has closed is the reader gone (with
// SIGPIPE ignored, as the program has it); a full disk is an error.
TEST(StreamOutputPosix, AClosedPipeIsTheReaderGoneAFullDiskIsNot) {
    struct sigaction ignore {};
    struct sigaction before {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGPIPE, &ignore, &before), 0);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    std::FILE* pipe = ::fdopen(ends[1], "wb");
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(pipe, nullptr);
    ASSERT_NE(full, nullptr);
    for (const bool closed_pipe : {true, false}) {
        StreamOutput out(closed_pipe ? pipe : full);
        const bool written = out.Write(std::string(100000, 'x')) && out.Flush();
        EXPECT_FALSE(written);
        EXPECT_EQ(out.ReaderGone(), closed_pipe);
    }
    std::fclose(pipe);
    std::fclose(full);
    ::sigaction(SIGPIPE, &before, nullptr);
}

}  // namespace
}  // namespace korvallestin
