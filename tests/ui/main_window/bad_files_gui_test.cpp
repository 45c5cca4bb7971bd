// Every kind of bad data file, through the real window: a clear message (or
// none where the file is fine), the window back to idle with what it found
// still listed, the count equal to the rows, and the file untouched.

#include <QDir>
#include <QPushButton>

#include <random>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bad_files.h"
#include "csv_data.h"
#include "frm_main.h"
#include "gui_helpers.h"
#include "platform.h"
#include "temp_dir.h"
#include "window_fixture.h"

namespace korvallestin {
namespace {

using testing::BadFiles;
using testing::BadFileTable;
using testing::Case;
using ::testing::HasSubstr;
using testing::TempDir;

using testing::CsvTowns;
using testing::kCsvHeader;

TEST_P(BadFileTable, MeetsTheFileCalmly) {
    const Case& c = GetParam();
    c.lay(dir);
    Search();
    if (c.message.empty()) {
        EXPECT_TRUE(Messages().isEmpty()) << Messages().join("|").toStdString();
    } else {
        ASSERT_EQ(Messages().size(), 1);
        const std::string text = Messages().front().toStdString();
        EXPECT_THAT(text, HasSubstr("Error: "));
        for (const char* part : c.message) {
            EXPECT_THAT(text, HasSubstr(part));
        }
    }
    EXPECT_EQ(window->Results().rowCount(), c.rows);
    ExpectCalmEnd();
}

void Write(const TempDir& d, const std::string& bytes) {
    d.Write("postcodes.csv", bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Window, BadFileTable,
    ::testing::Values(
        Case{"absent", [](const TempDir&) {}, {"Postcodes.CSV file missing from\n", " folder."}, 0},
        Case{"name_differs_in_case",
             [](const TempDir& d) { d.Write("POSTCODES.CSV", kCsvHeader + CsvTowns(3)); },
             {},
             3},
        Case{"folder",
             [](const TempDir& d) {
                 std::filesystem::create_directory(PathFromUtf8(d.File("postcodes.csv")));
             },
             {"Cannot open the postcode file", "postcodes.csv", "folder"},
             0},
        Case{"empty", [](const TempDir& d) { Write(d, ""); }, {"empty"}, 0},
        Case{"header_only", [](const TempDir& d) { Write(d, kCsvHeader); }, {}, 0},
        Case{"trailing_blank_lines_spaces_ctrl_z",
             [](const TempDir& d) { Write(d, kCsvHeader + CsvTowns(4) + "\r\n\r\n   \r\n\x1A"); },
             {},
             4},
        Case{"short_last_record",
             [](const TempDir& d) { Write(d, kCsvHeader + CsvTowns(5) + "3100,LAST,VIC\r\n"); },
             {"line 7", "3 fields instead of 9", "The 5 records found before it stay listed."},
             5},
        Case{"field_longer_than_1_MiB",
             [](const TempDir& d) {
                 Write(d,
                       kCsvHeader + CsvTowns(2) + std::string((1 << 20) + 1, 'x') + ",,,,,,,,\r\n");
             },
             {"line 4", "longer than 1 MiB"},
             2},
        Case{"nul_bytes",
             [](const TempDir& d) {
                 Write(d, kCsvHeader +
                              std::string("30\0"
                                          "00,A\0B,VIC,,,,,,\r\n",
                                          21) +
                              CsvTowns(1));
             },
             {},
             2}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(BadFiles, RandomBinaryNeitherCrashesNorHangs) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        std::string bytes(20'000 + seed * 997, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(random() & 0xFF);
        }
        dir.Write("postcodes.csv", bytes);
        Search();
        ExpectCalmEnd();
    }
}

TEST_F(BadFiles, AHugeFileWithNoSeparatorKeepsMemoryBounded) {
    // 200 MB of bytes with no comma and no line end, as a sparse file.
    dir.Write("postcodes.csv", "");
    std::filesystem::resize_file(PathFromUtf8(DataPath()), 200L * 1000 * 1000);
    const long resident_before = ResidentKb();
    OpenWindow("", false);
    window->findChild<QPushButton*>("cmdFind")->click();
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_THAT(Messages().front().toStdString(), HasSubstr("line 1 is longer than 1 MiB"));
    EXPECT_LT(ResidentKb() - resident_before, 50 * 1024);
    EXPECT_EQ(window->Results().rowCount(), 0);
}

// The message names the program's folder as the system writes paths: with
// backslashes on Windows. Each press gives one message and the window idle.
TEST_F(BadFiles, AMissingFileNamesItsFolderInTheSystemsSpelling) {
    Search();
    ASSERT_EQ(Messages().size(), 1);
    const QString native = QDir::toNativeSeparators(QString::fromStdString(dir.Path()));
    EXPECT_EQ(Messages().front().toStdString(),
              ("Error: Postcodes.CSV file missing from\n" + native + " folder.").toStdString());
    window->findChild<QPushButton*>("cmdFind")->click();
    EXPECT_EQ(Messages().size(), 2);
    ExpectCalmEnd();
}

TEST_F(BadFiles, InvalidUtf8IsReadAsWindows1252) {
    Write(dir, std::string(kCsvHeader) +
                   "2602,O\x92"
                   "CONNOR,ACT,,,,N2,,\r\n");
    Search();
    ASSERT_EQ(window->Results().rowCount(), 1);
    EXPECT_EQ(window->Results().CellText(0, 1), QString::fromUtf8("O\u2019CONNOR"));
    EXPECT_TRUE(Messages().isEmpty());
    ExpectCalmEnd();
}

// The file changes under a running search.
class ChangingFile : public BadFiles, public ::testing::WithParamInterface<const char*> {};

TEST_P(ChangingFile, TheRunEndsWithWhatItRead) {
    const std::string change = GetParam();
    Write(dir, kCsvHeader + CsvTowns(30'000));
    OpenWindow("", false);
    int yields = 0;
    bool refused = false;
    window->SetYieldObserver([&] {
        if (++yields != 100) {
            return;
        }
        const std::string path = DataPath();
        if (change == "truncated") {
            std::filesystem::resize_file(PathFromUtf8(path), 100'000 + 7);
        } else if (change == "deleted") {
            ASSERT_TRUE(std::filesystem::remove(PathFromUtf8(path)));
        } else {
            dir.Write("replacement.csv", kCsvHeader + CsvTowns(5));
            std::error_code ec;
            std::filesystem::rename(PathFromUtf8(dir.File("replacement.csv")), PathFromUtf8(path),
                                    ec);
            refused = static_cast<bool>(ec);
        }
    });
    window->findChild<QPushButton*>("cmdFind")->click();
    if (refused) {
        // Windows may refuse to put another file in place of one that is open.
        GTEST_SKIP() << "this system refused to replace the open file";
    }
    const int rows = window->Results().rowCount();
    if (change == "truncated") {
        // Cut inside a record past the data already buffered: the rows before
        // the cut are listed and the broken record is reported.
        EXPECT_GT(rows, 100);
        EXPECT_LT(rows, 30'000);
        ASSERT_EQ(Messages().size(), 1);
        EXPECT_THAT(Messages().front().toStdString(), HasSubstr("instead of 9"));
    } else {
        // The open file goes on being read to its end.
        EXPECT_EQ(rows, 30'000);
        EXPECT_TRUE(Messages().isEmpty());
    }
    ExpectCalmEnd(false);
}

INSTANTIATE_TEST_SUITE_P(Window, ChangingFile,
                         ::testing::Values("truncated", "deleted", "replaced"));

}  // namespace
}  // namespace korvallestin
