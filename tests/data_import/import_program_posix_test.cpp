// The built console program installed as the package lays it out: its data
// file a link to the system's configuration folder. import-data --install
// replaces the file behind the link and keeps the old one beside it; `find`
// then reads the new one through the same link.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

int RunShell(const std::string& command, std::string& out) {
    std::FILE* pipe = ::popen(("cd / && " + command + " 2>&1 </dev/null").c_str(), "r");
    out.clear();
    char buffer[4096];
    for (std::size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, n);
    }
    const int status = pipe != nullptr ? ::pclose(pipe) : -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ImportProgram, InstallsBehindThePackagesLinkAndFindReadsTheNewFile) {
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_directories(PathFromUtf8(dir.File("lib/korvallestin")));
    fs::create_directories(PathFromUtf8(dir.File("etc/korvallestin")));
    const std::string program = dir.File("lib/korvallestin/korvallestin-cli");
    fs::copy_file(KORV_CLI_PROGRAM, PathFromUtf8(program));
    const std::string old =
        "Pcode,Locality,State,Comments,DeliveryOffice,PresortIndicator,ParcelZone,BSPnumber,"
        "BSPname\r\n4306,NUKKU,QLD,,,,,,\r\n";
    const std::string real = dir.Write("etc/korvallestin/postcodes.csv", old);
    fs::create_symlink(PathFromUtf8(real),
                       PathFromUtf8(dir.File("lib/korvallestin/postcodes.csv")));
    const std::string list =
        dir.Write("new.json",
                  "[{\"id\":1,\"postcode\":\"4314\",\"locality\":\"NUKKU\",\"state\":"
                  "\"QLD\",\"long\":0,\"lat\":0,\"dc\":\"\",\"type\":\"\"}]");

    std::string out;
    ASSERT_EQ(RunShell("'" + program + "' import-data '" + list + "' --install", out), 0) << out;
    EXPECT_NE(out.find("NUKKU QLD 4314, was QLD 4306"), std::string::npos) << out;
    EXPECT_TRUE(fs::is_symlink(PathFromUtf8(dir.File("lib/korvallestin/postcodes.csv"))));
    EXPECT_EQ(ReadFileBytes(dir.File("etc/korvallestin/postcodes.previous.csv")), old);
    EXPECT_EQ(RunShell("'" + program + "' find --locality nukku --format tsv", out), 0) << out;
    EXPECT_EQ(out,
              "Postcode\tLocality\tState\tComments\tDelivery Office\tPresort Indicator\tParcel "
              "Zone\tBSP Number\tBSP Name\n4314\tNUKKU\tQLD\t\t\t\t\t\t\n");
}

}  // namespace
}  // namespace korvallestin
