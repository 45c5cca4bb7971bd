#include "import_command.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "command_line.h"
#include "platform.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;

const std::string kOld =
    "\"Pcode\",\"Locality\",\"State\",\"Comments\",\"DeliveryOffice\",\"PresortIndicator\","
    "\"ParcelZone\",\"BSPnumber\",\"BSPname\"\r\n\"4306\",\"BLACKBUTT\",\"QLD\",,,,,,\r\n";
const std::string kList =
    "id,postcode,locality,state,long,lat,dc,type,status\n"
    "1,4314,BLACKBUTT,QLD,0,0,,,\n2,4306,BLACKBUTT,QLD,0,0,,,Removed 15-Nov-2020\n";
const std::string kNew =
    "\"Pcode\",\"Locality\",\"State\",\"Comments\",\"DeliveryOffice\",\"PresortIndicator\","
    "\"ParcelZone\",\"BSPnumber\",\"BSPname\"\r\n\"4314\",\"BLACKBUTT\",\"QLD\",,,,,,\r\n";

struct Ran {
    int status;
    std::string out;
    std::string err;
};

Ran RunImport(const std::vector<std::string>& args, const std::string& folder) {
    const ParsedCommandLine parsed = ParseCommandLine(args);
    EXPECT_EQ(parsed.error, "");
    StringOutput out;
    StringOutput err;
    const int status = RunImportData(parsed.options, folder, out, err);
    return {status, out.Text(), err.Text()};
}

bool Exists(const std::string& path) {
    return std::filesystem::exists(PathFromUtf8(path));
}

TEST(ImportCommand, WritesOrInstallsOnlyAWholeGoodImport) {
    TempDir dir;
    const std::string list = dir.Write("list.csv", kList);
    const std::string data = dir.Write("postcodes.csv", kOld);
    const std::string out = dir.File("out.csv");

    // Nothing given to write to: a report, and nothing written.
    Ran ran = RunImport({"import-data", list}, dir.Path());
    EXPECT_EQ(ran.status, 0);
    EXPECT_NE(ran.out.find("Nothing written"), std::string::npos) << ran.out;
    EXPECT_NE(ran.out.find("BLACKBUTT QLD 4314, was QLD 4306"), std::string::npos) << ran.out;
    EXPECT_FALSE(Exists(out));

    // Lists that cannot be imported leave an output as it was.
    dir.Write("out.csv", "before");
    for (const char* bad : {"name,age\nA,1\n", "[{\"postcode\":", ""}) {
        const std::string bad_list = dir.Write("bad.csv", bad);
        ran = RunImport({"import-data", bad_list, "--output", out, "--report", dir.File("r.csv")},
                        dir.Path());
        EXPECT_EQ(ran.status, 2) << bad;
        EXPECT_EQ(ran.err.rfind("korvallestin-cli: Cannot import " + bad_list + ": ", 0), 0U)
            << ran.err;
        EXPECT_EQ(ReadFileBytes(out), "before") << bad;
        EXPECT_FALSE(Exists(dir.File("r.csv"))) << bad;
    }
    // Every record left out: nothing is written either.
    dir.Write("gone.csv", "id,postcode,locality,state,long,lat,dc,type\n1,43,X,QLD,0,0,,\n");
    ran = RunImport({"import-data", dir.File("gone.csv"), "--output", out}, dir.Path());
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ReadFileBytes(out), "before");

    // Outputs that would write over the list or the file in use are refused.
    ran = RunImport({"import-data", list, "--output", dir.Path() + "/./list.csv"}, dir.Path());
    EXPECT_EQ(ran.status, 2);
    ran = RunImport({"import-data", list, "--output", data}, dir.Path());
    EXPECT_EQ(ran.status, 2);
    EXPECT_NE(ran.err.find("give --install"), std::string::npos) << ran.err;
    ran = RunImport({"import-data", list, "--output", out, "--report", out}, dir.Path());
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ReadFileBytes(list), kList);
    EXPECT_EQ(ReadFileBytes(data), kOld);
    EXPECT_EQ(ReadFileBytes(out), "before");

    // An output and a report, compared with another file.
    const std::string against = dir.Write("against.csv", kNew);
    ran = RunImport(
        {"import-data", list, "--output", out, "--against", against, "--report", dir.File("r.csv")},
        dir.Path());
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ReadFileBytes(out), kNew);
    EXPECT_NE(ran.out.find("Compared with " + against + " (1 record): 0 localities added"),
              std::string::npos)
        << ran.out;
    EXPECT_EQ(ReadFileBytes(dir.File("r.csv")),
              "kind,where,postcode,locality,state,was,detail\r\n"
              "removed,line 3,4306,BLACKBUTT,QLD,,Removed 15-Nov-2020\r\n");

    // Installed: the new file in place, the old one kept beside it; a second
    // install keeps the one it replaces.
    ran = RunImport({"import-data", list, "--install"}, dir.Path());
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_EQ(ReadFileBytes(data), kNew);
    EXPECT_EQ(ReadFileBytes(dir.File("postcodes.previous.csv")), kOld);
    EXPECT_NE(ran.out.find("kept as " + dir.File("postcodes.previous.csv")), std::string::npos)
        << ran.out;
    ran = RunImport({"import-data", list, "--install"}, dir.Path());
    EXPECT_EQ(ReadFileBytes(dir.File("postcodes.previous.csv")), kNew);
    // A missing --against is an error; a missing file in use is only said.
    ran = RunImport({"import-data", list, "--against", dir.File("none.csv")}, dir.Path());
    EXPECT_EQ(ran.status, 2);
    TempDir empty;
    ran = RunImport({"import-data", list, "--install"}, empty.Path());
    EXPECT_EQ(ran.status, 0) << ran.err;
    EXPECT_NE(ran.out.find("Not compared with a file in use: Cannot open"), std::string::npos)
        << ran.out;
    EXPECT_EQ(ReadFileBytes(empty.File("postcodes.csv")), kNew);
    EXPECT_FALSE(Exists(empty.File("postcodes.previous.csv")));
}

}  // namespace
}  // namespace korvallestin
