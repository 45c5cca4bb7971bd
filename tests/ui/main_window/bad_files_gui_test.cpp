// Every kind of bad data file, through the real window: a clear message (or
// none where the file is fine), the window back to idle with what it found
// still listed, the count equal to the rows, and the file untouched.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "csv_data.h"
#include "frm_main.h"
#include "gui_helpers.h"
#include "temp_dir.h"
#include "window_fixture.h"

namespace korvallestin {
namespace {

using ::testing::HasSubstr;
using testing::MessageBoxAnswerer;
using testing::TempDir;

using testing::CsvTowns;
using testing::kCsvHeader;

struct FileState {
    bool exists = false;
    std::string bytes;
    timespec mtime{};
};

FileState Snapshot(const std::string& path) {
    FileState s;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return s;
    }
    s.exists = true;
    s.mtime = st.st_mtim;
    if (S_ISREG(st.st_mode)) {
        s.bytes = testing::ReadFileBytes(path);
    }
    return s;
}

long ResidentKb() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0;
    long resident = 0;
    if (f != nullptr) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

class BadFiles : public testing::WindowTest {
  protected:
    std::string DataPath() const { return dir.Path() + "/postcodes.csv"; }
    void Search() {
        OpenWindow("", false);
        before = Snapshot(DataPath());
        window->findChild<QPushButton*>("cmdFind")->click();
    }
    // The window is idle, its count equals its rows, it still takes typing,
    // and the file is as it was.
    void ExpectCalmEnd(bool file_unchanged = true) {
        EXPECT_TRUE(window->findChild<QPushButton*>("cmdFind")->isEnabled());
        EXPECT_FALSE(window->findChild<QPushButton*>("cmdStop")->isEnabled());
        EXPECT_EQ(window->findChild<QLabel*>("sbBarText")->text(),
                  "Number found: " + QString::number(window->Results().rowCount()));
        auto* locality = window->findChild<QLineEdit*>("txtLocality");
        QTest::keyClicks(locality, "ok");
        EXPECT_EQ(locality->text(), "OK");
        if (file_unchanged) {
            const FileState after = Snapshot(DataPath());
            EXPECT_EQ(after.exists, before.exists);
            EXPECT_EQ(after.bytes, before.bytes);
            EXPECT_EQ(after.mtime.tv_sec, before.mtime.tv_sec);
            EXPECT_EQ(after.mtime.tv_nsec, before.mtime.tv_nsec);
        }
    }
    QStringList Messages() const { return answerer.Seen(); }

    MessageBoxAnswerer answerer;
    FileState before;
};

struct Case {
    const char* name;
    std::function<void(const TempDir&)> lay;  // puts the data file in place
    std::vector<const char*> message;         // parts of the one message; empty: none
    int rows;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class BadFileTable : public BadFiles, public ::testing::WithParamInterface<Case> {};

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
             [](const TempDir& d) { ::mkdir((d.Path() + "/postcodes.csv").c_str(), 0755); },
             {"Cannot open the postcode file", "/postcodes.csv", "folder"},
             0},
        Case{"fifo",
             [](const TempDir& d) { ::mkfifo((d.Path() + "/postcodes.csv").c_str(), 0644); },
             {"not an ordinary file"},
             0},
        Case{"device",
             [](const TempDir& d) {
                 EXPECT_EQ(::symlink("/dev/zero", (d.Path() + "/postcodes.csv").c_str()), 0);
             },
             {"not an ordinary file"},
             0},
        Case{"socket",
             [](const TempDir& d) {
                 const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                 sockaddr_un addr{};
                 addr.sun_family = AF_UNIX;
                 const std::string path = d.Path() + "/postcodes.csv";
                 std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
                 (void)::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
                 ::close(fd);
             },
             {"not an ordinary file"},
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
    const std::string path = DataPath();
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    ASSERT_EQ(::truncate(path.c_str(), 200L * 1000 * 1000), 0);
    const long resident_before = ResidentKb();
    OpenWindow("", false);
    window->findChild<QPushButton*>("cmdFind")->click();
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_THAT(Messages().front().toStdString(), HasSubstr("line 1 is longer than 1 MiB"));
    EXPECT_LT(ResidentKb() - resident_before, 50 * 1024);
    EXPECT_EQ(window->Results().rowCount(), 0);
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
    window->SetYieldObserver([&] {
        if (++yields != 100) {
            return;
        }
        const std::string path = DataPath();
        if (change == "truncated") {
            ASSERT_EQ(::truncate(path.c_str(), 100'000 + 7), 0);
        } else if (change == "deleted") {
            ASSERT_EQ(::unlink(path.c_str()), 0);
        } else {
            dir.Write("replacement.csv", kCsvHeader + CsvTowns(5));
            ASSERT_EQ(::rename((dir.Path() + "/replacement.csv").c_str(), path.c_str()), 0);
        }
    });
    window->findChild<QPushButton*>("cmdFind")->click();
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
