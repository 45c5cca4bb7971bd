// Bad data files that only POSIX systems can put in place: a pipe, a device
// and a socket under the data file's name.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "bad_files.h"

namespace korvallestin {
namespace {

using testing::BadFileTable;
using testing::Case;
using testing::TempDir;

// The table's own test, over these cases.
INSTANTIATE_TEST_SUITE_P(
    WindowPosix, BadFileTable,
    ::testing::Values(
        Case{"fifo",
             [](const TempDir& d) { ::mkfifo((d.Path() + "/postcodes.csv").c_str(), 0644); },
             {"not an ordinary file"},
             0},
        Case{"device",
             [](const TempDir& d) {
                 EXPECT_EQ(::symlink("/dev/zero", (d.Path() + "/postcodes.csv").c_str()), 0);
             },
             {"not an ordinary file"},
             0},
        Case{"socket",
             [](const TempDir& d) {
                 const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                 sockaddr_un addr{};
                 addr.sun_family = AF_UNIX;
                 const std::string path = d.Path() + "/postcodes.csv";
                 std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
                 (void)::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
                 ::close(fd);
             },
             {"not an ordinary file"},
             0}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace korvallestin
