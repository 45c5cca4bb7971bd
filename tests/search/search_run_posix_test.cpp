// A data folder the system refuses to look at, which only POSIX systems let
// a test make without special rights: one of its names is too long.
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_search_window.h"
#include "search_run.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

using ::testing::HasSubstr;

TEST(SearchRunPosix, AFileTheSystemWillNotOpenIsReportedWithItsReason) {
    testing::TempDir dir;
    const std::string folder = dir.File(std::string(300, 'x'));
    testing::FakeSearchWindow window(folder);
    SearchRun run(window.Controls());
    run.cmdFind_Click();
    ASSERT_EQ(window.messages.size(), 1U);
    EXPECT_THAT(window.messages[0],
                HasSubstr("Cannot open the postcode file\r\n" + folder + "/postcodes.csv"));
    EXPECT_THAT(window.messages[0], HasSubstr("File name too long"));
    EXPECT_TRUE(window.rows.empty());
    EXPECT_TRUE(window.cmdFind.IsEnabled() && !window.cmdStop.IsEnabled());
}

}  // namespace
}  // namespace korvallestin
