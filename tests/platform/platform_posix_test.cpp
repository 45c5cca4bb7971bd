// What only POSIX systems have: pipes and devices in the file system, and
// names the system refuses outright.
#include <sys/stat.h>

#include <string>

#include <gtest/gtest.h>

#include "avi_clip.h"
#include "data_file.h"
#include "platform.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

using testing::TempDir;
using Status = ReadOnlyFile::Status;

// A path the system will not look at: one of its names is longer than any
// file system allows.
std::string RefusedPath(const TempDir& dir) {
    return dir.File(std::string(300, 'x') + ".csv");
}

TEST(ReadOnlyFilePosix, PipesAndDevicesAreRefusedWithoutBlocking) {
    TempDir dir;
    const std::string fifo = dir.File("fifo.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ReadOnlyFile file;
    // A pipe with no writer would block a plain open for ever.
    EXPECT_EQ(file.Open(fifo), Status::NotRegular);
    EXPECT_EQ(file.OpenUnchecked(fifo), Status::NotRegular);
    EXPECT_EQ(file.Open("/dev/null"), Status::NotRegular);
    EXPECT_EQ(file.OpenUnchecked("/dev/zero"), Status::NotRegular);
    EXPECT_FALSE(file.IsOpen());
}

TEST(ReadOnlyFilePosix, ARefusalCarriesTheSystemsWords) {
    TempDir dir;
    ReadOnlyFile file;
    EXPECT_EQ(file.Open(RefusedPath(dir)), Status::System);
    EXPECT_EQ(file.Error(), "File name too long");
    EXPECT_EQ(file.OpenUnchecked(RefusedPath(dir)), Status::System);
    EXPECT_EQ(file.Error(), "File name too long");
}

TEST(ReaderPosix, PipesDevicesAndRefusalsAreFailuresOfTheirOwnKind) {
    TempDir dir;
    const std::string fifo = dir.File("postcodes.csv");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    PostcodeFileReader reader;
    EXPECT_EQ(reader.Open(fifo), PostcodeFileReader::OpenResult::OtherFailure);
    EXPECT_EQ(reader.LastFailure().kind, ReadFailure::Kind::NotRegular);
    EXPECT_EQ(reader.Open("/dev/null"), PostcodeFileReader::OpenResult::OtherFailure);
    EXPECT_EQ(reader.LastFailure().kind, ReadFailure::Kind::NotRegular);
    EXPECT_EQ(reader.Open(RefusedPath(dir)), PostcodeFileReader::OpenResult::OtherFailure);
    EXPECT_EQ(reader.LastFailure().kind, ReadFailure::Kind::System);
    EXPECT_EQ(DescribeFailure(reader.LastFailure()), "The system reported: File name too long.");
}

TEST(ClipPosix, APipeInPlaceOfTheClipIsRefusedWithoutBlocking) {
    TempDir dir;
    const std::string fifo = dir.File("Findfile.avi");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    AviClip clip;
    EXPECT_FALSE(clip.Open(fifo));
    EXPECT_EQ(clip.Error(), "'" + fifo + "' is not a file");
    EXPECT_FALSE(clip.Open("/dev/zero"));
    EXPECT_FALSE(clip.Open(RefusedPath(dir)));
    EXPECT_EQ(clip.Error(), "cannot open '" + RefusedPath(dir) + "': File name too long");
}

// Where names differ in case, two names that match the data file's only in
// case leave neither taken.
TEST(DataFilePathPosix, TwoNamesDifferingOnlyInCaseLeaveTheExactNameMissing) {
    TempDir two;
    two.Write("POSTCODES.CSV", "x");
    two.Write("PostCodes.csv", "x");
    EXPECT_EQ(PostcodeFilePath(two.Path()), two.File("postcodes.csv"));
    TempDir one;
    one.Write("Postcodes.CSV", "x");
    EXPECT_EQ(PostcodeFilePath(one.Path()), one.File("Postcodes.CSV"));
}

}  // namespace
}  // namespace korvallestin
