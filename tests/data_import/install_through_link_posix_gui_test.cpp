// An installed package's data file is a link from the programs' folder to
// /etc/korvallestin/postcodes.csv, so that an imported file is the system's
// configuration and survives an upgrade. The install replaces the file the
// link names, keeps the link, and the window then lists the new records.

#include <QTest>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "command_line.h"
#include "import_command.h"
#include "output.h"
#include "platform.h"
#include "window_fixture.h"

namespace korvallestin {
namespace {

using Install = testing::WindowTest;

TEST_F(Install, ReplacesTheFileALinkNamesAndTheWindowReadsIt) {
    namespace fs = std::filesystem;
    const std::string header =
        "\"Pcode\",\"Locality\",\"State\",\"Comments\",\"DeliveryOffice\",\"PresortIndicator\","
        "\"ParcelZone\",\"BSPnumber\",\"BSPname\"\r\n";
    const std::string old = header + "\"4306\",\"BLACKBUTT\",\"QLD\",,,,,,\r\n";
    fs::create_directory(PathFromUtf8(dir.File("etc")));
    const std::string real = dir.Write("etc/postcodes.csv", old);
    const std::string link = dir.File("postcodes.csv");
    fs::create_symlink(PathFromUtf8(real), PathFromUtf8(link));
    const std::string list = dir.Write("new.csv",
                                       "id,postcode,locality,state,long,lat,dc,type\n"
                                       "1,4314,BLACKBUTT,QLD,0,0,,\n2,4314,NUKKU,QLD,0,0,,\n");

    const ParsedCommandLine parsed = ParseCommandLine({"import-data", list, "--install"});
    StringOutput out;
    StringOutput err;
    ASSERT_EQ(RunImportData(parsed.options, dir.Path(), out, err), 0) << err.Text();
    EXPECT_NE(out.Text().find("Wrote 2 records to " + real), std::string::npos) << out.Text();
    EXPECT_TRUE(fs::is_symlink(PathFromUtf8(link)));
    EXPECT_EQ(testing::ReadFileBytes(dir.File("etc/postcodes.previous.csv")), old);
    EXPECT_FALSE(fs::exists(PathFromUtf8(dir.File("postcodes.previous.csv"))));

    OpenWindow("");  // the folder as it is: the link
    QTest::mouseClick(Button("cmdFind"), Qt::LeftButton);
    ASSERT_TRUE(Idle());
    ASSERT_EQ(window->Results().rowCount(), 2);
    EXPECT_EQ(window->Results().CellText(0, 0).toStdString(), "4314");
    EXPECT_EQ(window->Results().CellText(1, 1).toStdString(), "NUKKU");
}

}  // namespace
}  // namespace korvallestin
