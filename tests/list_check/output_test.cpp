// Where the console program's output goes: a stream, a terminal, a file put
// in place of another.
#include "output.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

using testing::TempDir;

std::vector<std::string> Names(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(dir.Path()))) {
        names.push_back(Utf8FromPath(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The temporary file's name fits the system's limit whenever the target's
// does: the target's name is cut short in it, never inside a character.
TEST(TemporaryName, FitsTheLimitAndCutsAtACharactersStart) {
    const std::string e_acute = "\xC3\xA9";  // two bytes
    std::string accented;
    for (int i = 0; i < 127; ++i) {
        accented += e_acute;
    }
    accented += "x";  // 255 bytes
    // The name made of what is kept of the target's.
    auto hidden = [](const std::string& kept) {
        std::string name = ".";
        name += kept;
        name += ".000042.tmp";
        return name;
    };
    struct Case {
        std::string base;
        std::size_t longest;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"out.csv", 255, ".out.csv.000042.tmp"},
        {"out.csv", 19, ".out.csv.000042.tmp"},  // exactly the limit
        {"out.csv", 18, ".out.cs.000042.tmp"},
        {std::string(255, 'x'), 255, hidden(std::string(243, 'x'))},
        // 243 bytes would end inside an é: the cut is one byte before.
        {accented, 255, hidden(accented.substr(0, 242))},
        {"out.csv", 4, "..000042.tmp"},  // no room: the number alone
    };
    for (const Case& c : cases) {
        const std::string name = TemporaryName(c.base, 1000042, c.longest);
        EXPECT_EQ(name, c.expected) << c.base.size() << " bytes in " << c.longest;
    }
    EXPECT_EQ(TemporaryName("a", 999999, 255), ".a.999999.tmp");
}

// The target is replaced whole by Commit, and only then; a name that is no
// file to replace is refused before anything is made beside it.
TEST(ReplacingFileOutput, ReplacesTheTargetWholeOrRefusesIt) {
    TempDir dir;
    struct Case {
        const char* what;
        std::string name;  // in the folder
        bool exists;       // a file is there before
        bool opens;
    };
    const std::vector<Case> cases = {
        {"a new file", "new.csv", false, true},
        {"an old file", "old.csv", true, true},
        {"the longest name the system takes", std::string(251, 'n') + ".csv", false, true},
        {"a folder", "folder", false, false},
        {"a name in a folder that is not there", "none/out.csv", false, false},
    };
    std::filesystem::create_directory(PathFromUtf8(dir.File("folder")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string target = dir.File(c.name);
        if (c.exists) {
            dir.Write(c.name, "what was there before\n");
        }
        const std::vector<std::string> before = Names(dir);
        ReplacingFileOutput output;
        std::string error;
        ASSERT_EQ(output.Open(target, error), c.opens) << error;
        if (!c.opens) {
            EXPECT_FALSE(error.empty());
            EXPECT_EQ(Names(dir), before);
            continue;
        }
        ASSERT_TRUE(output.Write("rows\n"));
        // Until Commit, the target is as it was.
        EXPECT_EQ(testing::ReadFileBytes(target), c.exists ? "what was there before\n" : "");
        ASSERT_TRUE(output.Commit(error)) << error;
        EXPECT_EQ(testing::ReadFileBytes(target), "rows\n");
        std::vector<std::string> after = before;
        if (!c.exists) {
            after.push_back(c.name);
            std::sort(after.begin(), after.end());
        }
        EXPECT_EQ(Names(dir), after);
        std::filesystem::remove(PathFromUtf8(target));
    }
}

// On a terminal each write reaches the system at once, whatever buffering
// the stream has (the Windows runtime buffers _IOLBF streams fully); a file
// or pipe gets whole blocks.
TEST(StreamOutput, ATerminalGetsEachWriteAtOnceAFileInBlocks) {
    TempDir dir;
    for (const bool line_by_line : {true, false}) {
        SCOPED_TRACE(line_by_line ? "line by line" : "in blocks");
        const std::string path = dir.File(line_by_line ? "lines.txt" : "blocks.txt");
        std::string error;
        std::FILE* file = CreateNewFile(path, error);
        ASSERT_NE(file, nullptr) << error;
        static char buffer[1 << 16];
        std::setvbuf(file, buffer, _IOFBF, sizeof buffer);
        StreamOutput out(file, line_by_line);
        ASSERT_TRUE(out.Write("4109,SUNNYBANK,QLD\n"));
        EXPECT_EQ(testing::ReadFileBytes(path), line_by_line ? "4109,SUNNYBANK,QLD\n" : "");
        ASSERT_TRUE(out.Flush());
        EXPECT_EQ(testing::ReadFileBytes(path), "4109,SUNNYBANK,QLD\n");
        EXPECT_FALSE(out.ReaderGone());
        std::fclose(file);
    }
}

}  // namespace
}  // namespace korvallestin
