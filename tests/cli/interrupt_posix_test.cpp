// A check interrupted while it writes its output file leaves nothing behind:
// the temporary file goes, the file it was to replace stays as it was.

#include <csignal>
#include <cstdlib>
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

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(folder))) {
        names.push_back(Utf8FromPath(entry.path().filename()));
    }
    return names;
}

TEST(InterruptPosix, AnInterruptedOutputLeavesOnlyTheFileItWasToReplace) {
    // The child must share this process's folder: forked, not started anew.
    GTEST_FLAG_SET(death_test_style, "fast");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        TempDir dir;
        const std::string target = dir.Write("out.csv", "what was there before\n");
        EXPECT_EXIT(
            {
                // As a program started from a terminal gets it (a background
                // job starts with SIGINT ignored, and it stays ignored).
                std::signal(signal, SIG_DFL);
                ReplacingFileOutput output;
                std::string error;
                if (!output.Open(target, error) || !output.Write("Suburb,State\n") ||
                    !output.Flush() || Names(dir.Path()).size() != 2) {
                    std::_Exit(3);  // no temporary file beside the target
                }
                std::raise(signal);
                std::_Exit(4);
            },
            ::testing::KilledBySignal(signal), "")
            << signal;
        EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.csv"}) << signal;
        EXPECT_EQ(testing::ReadFileBytes(target), "what was there before\n") << signal;
    }
}

}  // namespace
}  // namespace korvallestin
