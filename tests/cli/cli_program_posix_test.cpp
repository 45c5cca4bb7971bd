// The built console program as a user starts it: its data file from its own
// folder, its exit statuses, and what goes to which stream.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_test_data.h"
#include "platform.h"

namespace korvallestin {
namespace {

using testing::TempDir;

struct Ran {
    int status;
    std::string out;
    std::string err;
};

// Runs the program copied into `folder` with `args` (already quoted for the
// shell), from another working directory.
Ran RunProgram(const TempDir& dir, const std::string& program, const std::string& args) {
    const std::string err_file = dir.File("stderr.txt");
    const std::string command =
        "cd / && '" + program + "' " + args + " 2>'" + err_file + "' </dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (std::size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    const int wait_status = pipe != nullptr ? ::pclose(pipe) : -1;
    return {WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1, out,
            testing::ReadFileBytes(err_file)};
}

TEST(CliProgram, ReadsTheDataFileBesideItselfAndAnswersByExitStatus) {
    TempDir dir;
    const std::string folder = TempDir::Join(dir.Path(), "prog ram");
    std::filesystem::create_directory(PathFromUtf8(folder));
    const std::string program = TempDir::Join(folder, "korvallestin-cli");
    std::filesystem::copy_file(KORV_CLI_PROGRAM, PathFromUtf8(program));
    const std::string data = TempDir::Join(folder, "postcodes.csv");
    dir.Write("prog ram/postcodes.csv", testing::SmallPostcodeFile());
    struct Case {
        const char* args;
        int status;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"find --locality sunnyb --format tsv", 0,
         "Postcode\tLocality\tState\tComments\tDelivery Office\tPresort Indicator\tParcel "
         "Zone\tBSP Number\tBSP Name\n4109\tSUNNYBANK\tQLD\t\t\t\tV1\t\t\n4109\tSUNNYBANK "
         "HILLS\tQLD\t\t\t\tV1\t\t\n",
         ""},
        {"find --locality suny", 1, "",
         "No locality begins with SUNY. Did you mean SUNNYBANK (QLD 4109), SUNNYBANK HILLS (QLD "
         "4109) or SYDNEY (NSW 2000)?\n"},
        {"find --postcode x", 2, "",
         "korvallestin-cli: the postcode cannot hold 'x' (the window's postcode box takes only "
         "digits and the full stop)\n"},
        {"--version", 0, std::string("korvallestin-cli ") + KORV_VERSION + "\n", ""},
        {"frobnicate", 2, "",
         "korvallestin-cli: unknown command 'frobnicate' (the commands are find, check and "
         "import-data)\nTry "
         "'korvallestin-cli --help' for more information.\n"},
    };
    for (const Case& c : cases) {
        const Ran ran = RunProgram(dir, program, c.args);
        EXPECT_EQ(ran.status, c.status) << c.args;
        EXPECT_EQ(ran.out, c.out) << c.args;
        EXPECT_EQ(ran.err, c.err) << c.args;
    }
    // Its own data file is never an output, whatever the name it is given by.
    const std::string list = dir.Write("list.csv", "Suburb,State,Postcode\nSydney,NSW,2000\n");
    const std::string data_before = testing::ReadFileBytes(data);
    const Ran overwrite =
        RunProgram(dir, program, "check '" + list + "' --output '" + folder + "/./postcodes.csv'");
    EXPECT_EQ(overwrite.status, 2);
    EXPECT_EQ(overwrite.err, "korvallestin-cli: the output " + folder +
                                 "/./postcodes.csv is the postcode file; give another\n");
    EXPECT_EQ(testing::ReadFileBytes(data), data_before);

    // Without its data file it says where it looked, as the window does.
    std::filesystem::remove(PathFromUtf8(data));
    const Ran missing = RunProgram(dir, program, "find");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err,
              "korvallestin-cli: Postcodes.CSV file missing from " + folder + " folder.\n");
}

}  // namespace
}  // namespace korvallestin
