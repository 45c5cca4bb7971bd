#include "search_run.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "csv_data.h"
#include "data_file.h"
#include "fake_search_window.h"
#include "platform.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

using ::testing::ElementsAre;
using testing::FakeSearchWindow;
using ::testing::HasSubstr;
using testing::TempDir;

using testing::CsvRecord;
using testing::kCsvHeader;

// A data folder holding a postcode file made of the header and `lines`.
struct Fixture {
    TempDir dir;
    FakeSearchWindow window{dir.Path()};
    SearchRun run{window.Controls()};

    explicit Fixture(const std::vector<std::string>& lines, bool with_header = true) {
        std::string bytes = with_header ? kCsvHeader : "";
        for (const auto& l : lines) {
            bytes += l;
        }
        dir.Write("postcodes.csv", bytes);
    }
    std::vector<std::string> Postcodes() const {
        std::vector<std::string> out;
        for (const auto& r : window.rows) {
            out.push_back(r.Postcode);
        }
        return out;
    }
    bool Idle() const { return window.cmdFind.IsEnabled() && !window.cmdStop.IsEnabled(); }
};

std::vector<std::string> FiveRecords() {
    return {CsvRecord("3000", "MELBOURNE"), CsvRecord("3001", "MELBOURNE"),
            CsvRecord("3002", "EAST MELBOURNE"), CsvRecord("3003", "WEST MELBOURNE"),
            CsvRecord("3004", "MELBOURNE")};
}

TEST(SearchRun, WindowOperationsOfAWholeRunInOrder) {
    Fixture f({CsvRecord("3000", "MELBOURNE"), CsvRecord("2000", "SYDNEY", "NSW")});
    f.window.state = "VIC";
    f.run.cmdFind_Click();
    EXPECT_THAT(f.window.log,
                ElementsAre("status.show", "height=5580", "stop.enable", "find.disable",
                            "status=Number found: 0", "rows.clear", "ani.play", "yield",
                            "row 3000 MELBOURNE", "status=Number found: 1", "refresh", "yield",
                            "ani.stop", "stop.disable", "find.enable"));
    EXPECT_EQ(f.window.status_text, "Number found: 1");
    EXPECT_TRUE(f.window.messages.empty());
}

TEST(SearchRun, AllCriteriaEmptyListsEveryRecordInFileOrderNotTheHeader) {
    Fixture f({CsvRecord("3000", "A"), CsvRecord("0800", "B"), CsvRecord("3000", "C")});
    f.run.cmdFind_Click();
    EXPECT_THAT(f.Postcodes(), ElementsAre("3000", "0800", "3000"));
    EXPECT_EQ(f.window.rows[2].ParcelZone, "V1");
    EXPECT_EQ(f.window.status_text, "Number found: 3");
    EXPECT_EQ(f.window.yields, 3);  // one turn per record read
    EXPECT_TRUE(f.Idle());
}

TEST(SearchRun, WithoutAnimationNothingIsPlayedOrStopped) {
    Fixture f(FiveRecords());
    f.window.animation_enabled = false;
    f.run.cmdFind_Click();
    EXPECT_EQ(f.window.Count("ani.play") + f.window.Count("ani.stop"), 0);
    EXPECT_EQ(f.window.rows.size(), 5U);
}

TEST(SearchRun, NoMatchLeavesTheListEmptyAndCountZero) {
    Fixture f(FiveRecords());
    f.window.postcode = "9999";
    f.run.cmdFind_Click();
    EXPECT_TRUE(f.window.rows.empty());
    EXPECT_EQ(f.window.status_text, "Number found: 0");
    EXPECT_EQ(f.window.Count("refresh"), 0);
}

TEST(SearchRun, StopEndsTheRunAfterOneMoreRecord) {
    for (int k = 1; k <= 4; ++k) {
        Fixture f(FiveRecords());
        f.window.OnYield(k, [&] { f.run.cmdStop_Click(); });
        f.run.cmdFind_Click();
        // The record read in the pass where Stop was handled is still listed.
        EXPECT_EQ(f.window.yields, k);
        EXPECT_EQ(static_cast<int>(f.window.rows.size()), k);
        EXPECT_EQ(f.window.status_text, "Number found: " + std::to_string(k));
        EXPECT_TRUE(f.Idle());
        EXPECT_EQ(f.window.Count("ani.stop"), 1);
    }
}

TEST(SearchRun, NewSearchDuringARunLeavesAFreshWindowWithoutStrayRows) {
    Fixture f(FiveRecords());
    f.window.OnYield(3, [&] { f.run.cmdNew_Click(); });
    f.run.cmdFind_Click();
    EXPECT_EQ(f.window.yields, 3);
    EXPECT_TRUE(f.window.rows.empty());
    EXPECT_FALSE(f.window.status_visible);
    EXPECT_EQ(f.window.Count("Form_Load"), 1);
    EXPECT_TRUE(f.Idle());
    // Stop is disabled before Find is enabled, at the very end.
    EXPECT_THAT(std::vector<std::string>(f.window.log.end() - 3, f.window.log.end()),
                ElementsAre("ani.stop", "stop.disable", "find.enable"));
}

TEST(SearchRun, CriteriaChangedDuringARunApplyFromTheNextRecord) {
    Fixture f(FiveRecords());
    f.window.OnYield(3, [&] { f.window.locality = "MELB"; });
    f.run.cmdFind_Click();
    // 3000 and 3001 were listed before the change; 3002 and 3003 fail it.
    EXPECT_THAT(f.Postcodes(), ElementsAre("3000", "3001", "3004"));
    f.window.OnYield(2, [&] {
        f.window.locality = "MELB";
        f.window.search_type = 1;
    });
    f.window.yields = 0;
    f.window.locality.clear();
    f.window.search_type = 0;
    f.run.cmdFind_Click();
    EXPECT_THAT(f.Postcodes(), ElementsAre("3000", "3001", "3002", "3003", "3004"));
}

TEST(SearchRun, CloseIsRefusedOnlyWhileARunIsInProgress) {
    Fixture f(FiveRecords());
    std::vector<bool> refused;
    f.window.OnYield(2, [&] {
        bool cancel = false;
        f.run.Form_Unload(cancel);
        refused.push_back(cancel);
    });
    f.run.cmdFind_Click();
    bool cancel = false;
    f.run.Form_Unload(cancel);
    refused.push_back(cancel);
    EXPECT_THAT(refused, ElementsAre(true, false));
}

TEST(SearchRun, MissingFileMessageOncePerPressThenIdle) {
    TempDir dir;
    FakeSearchWindow window(dir.Path() + "/lib/korvallestin");
    SearchRun run(window.Controls());
    run.cmdFind_Click();
    run.cmdFind_Click();
    ASSERT_EQ(window.messages.size(), 2U);
    EXPECT_EQ(window.messages[0], "Error: Postcodes.CSV file missing from\r\n" + dir.Path() +
                                      "/lib/korvallestin folder.");
    EXPECT_EQ(window.Count("yield"), 0);
    // The clip plays while the message shows and stops after it.
    EXPECT_THAT(std::vector<std::string>(window.log.end() - 5, window.log.end()),
                ElementsAre("ani.play", "message", "ani.stop", "stop.disable", "find.enable"));
    EXPECT_EQ(window.status_text, "Number found: 0");
    EXPECT_TRUE(window.status_visible);
}

TEST(SearchRun, AFileWhoseNameDiffersInCaseIsRead) {
    TempDir dir;
    dir.Write("Postcodes.CSV", std::string(kCsvHeader) + CsvRecord("3000", "MELBOURNE"));
    FakeSearchWindow window(dir.Path());
    SearchRun run(window.Controls());
    run.cmdFind_Click();
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.rows.size(), 1U);
}

TEST(SearchRun, BrokenFilesEndWithAMessageAndKeepWhatWasFound) {
    struct Case {
        const char* why;
        std::string bytes;
        std::vector<std::string> message_parts;  // empty: no message
        std::size_t rows;
    };
    const std::vector<Case> cases = {
        {"header only", kCsvHeader, {}, 0},
        {"trailing blank lines and Ctrl-Z",
         std::string(kCsvHeader) + CsvRecord("1", "A") + "\r\n\r\n\x1A",
         {},
         1},
        {"empty", "", {"Cannot read the postcode file", "empty"}, 0},
        {"short last record",
         std::string(kCsvHeader) + CsvRecord("1", "A") + CsvRecord("2", "B") +
             "\"3\",\"C\",\"VIC\"\r\n",
         {"line 4", "3 fields instead of 9", "The 2 records found before it stay listed."},
         2},
        {"field too long",
         std::string(kCsvHeader) + CsvRecord("1", "A") +
             std::string(PostcodeFileReader::kMaxFieldBytes + 1, 'x'),
         {"line 3", "longer than 1 MiB", "The 1 record found before it stays listed."},
         1},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.Write("postcodes.csv", c.bytes);
        FakeSearchWindow window(dir.Path());
        SearchRun run(window.Controls());
        run.cmdFind_Click();
        EXPECT_EQ(window.rows.size(), c.rows) << c.why;
        EXPECT_EQ(window.status_text, "Number found: " + std::to_string(c.rows)) << c.why;
        EXPECT_TRUE(window.cmdFind.IsEnabled() && !window.cmdStop.IsEnabled()) << c.why;
        if (c.message_parts.empty()) {
            EXPECT_TRUE(window.messages.empty()) << c.why;
        } else {
            ASSERT_EQ(window.messages.size(), 1U) << c.why;
            EXPECT_THAT(window.messages[0], HasSubstr("Error: ")) << c.why;
            EXPECT_THAT(window.messages[0], HasSubstr(path)) << c.why;
            for (const auto& part : c.message_parts) {
                EXPECT_THAT(window.messages[0], HasSubstr(part)) << c.why;
            }
            EXPECT_EQ(window.Count("ani.stop"), 1) << c.why;
        }
        EXPECT_EQ(testing::ReadFileBytes(path), c.bytes) << c.why;
    }
}

TEST(SearchRun, AFolderInPlaceOfTheFileIsReported) {
    TempDir dir;
    ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(dir.File("postcodes.csv"))));
    FakeSearchWindow window(dir.Path());
    SearchRun run(window.Controls());
    run.cmdFind_Click();
    ASSERT_EQ(window.messages.size(), 1U);
    EXPECT_THAT(window.messages[0], HasSubstr("Cannot open the postcode file"));
    EXPECT_THAT(window.messages[0], HasSubstr("folder"));
    EXPECT_EQ(window.Count("yield"), 0);
    EXPECT_TRUE(window.cmdFind.IsEnabled() && !window.cmdStop.IsEnabled());
}

TEST(SearchRun, ASecondRunStartsFromAnEmptyList) {
    Fixture f(FiveRecords());
    f.run.cmdFind_Click();
    f.window.postcode = "3003";
    f.run.cmdFind_Click();
    EXPECT_THAT(f.Postcodes(), ElementsAre("3003"));
    EXPECT_EQ(f.window.status_text, "Number found: 1");
    EXPECT_FALSE(f.run.StopRequested());
}

TEST(SearchRun, ShippedFileWithEmptyCriteriaListsEveryRecordInFileOrder) {
    TempDir dir;
    dir.Write("postcodes.csv", testing::ReadFileBytes(KORV_SHIPPED_DATA));
    FakeSearchWindow window(dir.Path());
    SearchRun run(window.Controls());
    run.cmdFind_Click();

    PostcodeFileReader reader;
    ASSERT_EQ(reader.Open(KORV_SHIPPED_DATA), PostcodeFileReader::OpenResult::Opened);
    PostcodeRecord record;
    ASSERT_TRUE(reader.ReadRecord(record));
    std::size_t i = 0;
    while (!reader.AtEnd() && reader.ReadRecord(record)) {
        ASSERT_LT(i, window.rows.size());
        ASSERT_EQ(window.rows[i].Postcode, record.Postcode) << i;
        ASSERT_EQ(window.rows[i].Locality, record.Locality) << i;
        ++i;
    }
    EXPECT_EQ(i, window.rows.size());
    EXPECT_EQ(window.status_text, "Number found: " + std::to_string(i));
    EXPECT_EQ(i, 18528U);
}

}  // namespace
}  // namespace korvallestin
