#include "platform.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace korvallestin {
namespace {

using testing::TempDir;
using Status = ReadOnlyFile::Status;

std::string ReadWhole(ReadOnlyFile& file, std::size_t block) {
    std::string out;
    std::string buffer(block, '\0');
    for (;;) {
        const std::ptrdiff_t n = file.Read(buffer.data(), buffer.size());
        EXPECT_GE(n, 0) << file.Error();
        if (n <= 0) {
            return out;
        }
        out.append(buffer.data(), static_cast<std::size_t>(n));
    }
}

TEST(ReadOnlyFile, ReadsAnOrdinaryFileWholeAndLeavesItAsItWas) {
    TempDir dir;
    // NUL and Ctrl-Z are bytes like any other.
    const std::string bytes(std::string_view("header\r\n\x1A\0tail\xE9\r\n", 17));
    const std::string path = dir.Write("data.csv", bytes);
    const auto written = std::filesystem::last_write_time(PathFromUtf8(path));
    ReadOnlyFile file;
    ASSERT_EQ(file.Open(path), Status::Opened) << file.Error();
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(ReadWhole(file, 3), bytes);
    EXPECT_EQ(file.Read(nullptr, 0), 0);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(testing::ReadFileBytes(path), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(PathFromUtf8(path)), written);
}

TEST(ReadOnlyFile, NamesThatAreNoFileAreToldApart) {
    TempDir dir;
    ReadOnlyFile file;
    EXPECT_EQ(file.Open(dir.File("absent.csv")), Status::NotFound);
    EXPECT_EQ(file.Open(TempDir::Join(dir.File("absent"), "deeper.csv")), Status::NotFound);
    EXPECT_EQ(file.Open(dir.Path()), Status::Folder);
    EXPECT_FALSE(file.IsOpen());
    // The guard after opening, on its own: what was opened is a folder.
    EXPECT_EQ(file.OpenUnchecked(dir.Path()), Status::Folder);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.OpenUnchecked(dir.File("absent.csv")), Status::NotFound);
}

TEST(ReadOnlyFile, ReopeningForgetsTheFileBefore) {
    TempDir dir;
    const std::string first = dir.Write("first.csv", "one");
    const std::string second = dir.Write("second.csv", "two");
    ReadOnlyFile file;
    ASSERT_EQ(file.Open(first), Status::Opened);
    ASSERT_EQ(file.Open(second), Status::Opened);
    EXPECT_EQ(ReadWhole(file, 64), "two");
    EXPECT_EQ(file.Open(dir.File("absent.csv")), Status::NotFound);
    EXPECT_FALSE(file.IsOpen());
}

// A folder name that a narrow string in a local code page cannot name.
TEST(ReadOnlyFile, FoldersWithAnyLettersInTheirNames) {
    TempDir dir("korv-Zo\xC3\xAB Postcode \xE2\x80\x94 \xE5\x9C\xB0-");
    const std::string path = dir.Write("postcodes.csv", "1,2,3");
    EXPECT_NE(path.find("Zo\xC3\xAB"), std::string::npos);
    ReadOnlyFile file;
    ASSERT_EQ(file.Open(path), Status::Opened) << path << ": " << file.Error();
    EXPECT_EQ(ReadWhole(file, 64), "1,2,3");
}

TEST(Paths, Utf8RoundTripsThroughAPath) {
    const std::string name = "Zo\xC3\xAB Postcode Tools";
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(name)), name);
    EXPECT_EQ(PathFromUtf8(name).filename(), PathFromUtf8(name));
    EXPECT_EQ(Utf8FromPath(PathFromUtf8("")), "");
}

// The memory figure the tests' memory checks rest on: it must move when the
// process takes memory, or a check of growth could never fail.
TEST(ProcessMemory, ResidentSizeFollowsMemoryTheProcessTouches) {
    constexpr std::size_t kBytes = std::size_t{64} << 20;
    const long before = ResidentKb();
    EXPECT_GT(before, 0);
    const auto block = std::make_unique<char[]>(kBytes);
    // Written through volatile, so that the writes, and the pages, stay.
    volatile char* bytes = block.get();
    for (std::size_t i = 0; i < kBytes; i += 4096) {
        bytes[i] = 1;
    }
    EXPECT_GE(ResidentKb() - before, 48 * 1024) << "touched 64 MiB";
}

}  // namespace
}  // namespace korvallestin
