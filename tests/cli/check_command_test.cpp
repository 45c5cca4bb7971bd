#include "check_command.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli_test_data.h"
#include "platform.h"

namespace korvallestin {
namespace {

using testing::CommandRun;
using ::testing::HasSubstr;
using testing::RunCheckOn;
using testing::TempDir;

class CheckTest : public ::testing::Test {
  protected:
    CheckTest() { options.data_file = dir.Write("postcodes.csv", testing::SmallPostcodeFile()); }
    TempDir dir;
    CliOptions options;
};

TEST_F(CheckTest, EachRowGetsItsVerdictAndTheNearestNames) {
    struct Case {
        const char* row;  // suburb, state, postcode
        const char* verdict;
        const char* suggestion;
    };
    const std::vector<Case> cases = {
        {"Sunnybank,qld,4109", "ok", ""},
        // Spaces at either end and runs of spaces are forgiven.
        {"  Port   Melbourne ,VIC, 3207", "ok", ""},
        {"SYDNEY,NSW,2010", "wrong-postcode", "SYDNEY (NSW 2000); SYDNEY (NSW 2001)"},
        {"Albury,VIC,2640", "wrong-state", "ALBURY (NSW 2640)"},
        // A state's name in full is not its abbreviation.
        {"Sydney,New South Wales,2000", "wrong-state", "SYDNEY (NSW 2000)"},
        {"Sunybank,QLD,4109", "unknown-locality", "SUNNYBANK (QLD 4109)"},
        // MOUNT and MT, SAINT and ST, are one word to the suggestions only.
        {"Mt Isa,QLD,4825", "unknown-locality", "MOUNT ISA (QLD 4825)"},
        {"Saint Kilda,VIC,3182", "unknown-locality", "ST KILDA (VIC 3182)"},
        // Punctuation is not forgiven; two edits still suggest.
        {"St. Kilda,VIC,3182", "unknown-locality", "ST KILDA (VIC 3182)"},
        {"Sunybnak,QLD,4109", "unknown-locality", "SUNNYBANK (QLD 4109)"},
        // The given postcode first, then the given state, at most three.
        {"Richmund,VIC,3121", "unknown-locality",
         "RICHMOND (VIC 3121); RICHMOND (NSW 2753); RICHMOND (QLD 4822)"},
        {"Richmund,NSW,3121", "unknown-locality",
         "RICHMOND (VIC 3121); RICHMOND (NSW 2753); RICHMOND (QLD 4822)"},
        {"Richmund,SA,2000", "unknown-locality",
         "RICHMOND (SA 5033); RICHMOND (NSW 2753); RICHMOND (QLD 4822)"},
        {"Xanadu,QLD,4109", "unknown-locality", ""},
        {"Perthh,WA,6999", "unknown-postcode", "PERTH (WA 6000)"},
        {",QLD,4109", "incomplete", ""},
        {"Sydney,,2000", "incomplete", ""},
        {"Sydney,NSW,200", "incomplete", ""},
        {"Sydney,NSW,2OOO", "incomplete", ""},
        {"Sydney", "incomplete", ""},  // too few fields
    };
    std::string list = "Suburb,State,Postcode\n";
    std::string expected = "Suburb,State,Postcode,verdict,suggestion\n";
    for (const Case& c : cases) {
        list += std::string(c.row) + "\n";
        expected += std::string(c.row) + "," + c.verdict + "," + c.suggestion + "\n";
    }
    const CommandRun run = RunCheckOn(options, list);
    EXPECT_EQ(run.status, 1);
    // Row by row, so that a failure names the row.
    std::vector<std::string> got;
    std::vector<std::string> want;
    for (auto* lines : {&got, &want}) {
        const std::string& text = lines == &got ? run.out : expected;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find('\n', start);
            lines->push_back(text.substr(start, end - start));
            start = end + 1;
        }
    }
    ASSERT_EQ(got.size(), want.size()) << run.out << run.err;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i], want[i]);
    }
    EXPECT_THAT(run.err, HasSubstr("20 rows checked in"));
    EXPECT_THAT(run.err, HasSubstr(": 2 ok, 1 wrong-postcode, 2 wrong-state, 9 unknown-locality, "
                                   "1 unknown-postcode, 5 incomplete\n"));

    // Every row right: status 0; only problems: nothing but the header.
    options.check.problems_only = true;
    const CommandRun all_ok = RunCheckOn(options, "Suburb,State,Postcode\nsydney,nsw,2001\n");
    EXPECT_EQ(all_ok.status, 0) << all_ok.err;
    EXPECT_EQ(all_ok.out, "Suburb,State,Postcode,verdict,suggestion\n");
}

TEST_F(CheckTest, AProgressLineShowsOnATerminalOnlyAfterASecond) {
    std::string list = "Suburb,State,Postcode\n";
    for (int i = 0; i < 3 * 4096; ++i) {
        list += "Sydney,NSW,2000\n";
    }
    struct Case {
        bool terminal;
        double step;  // seconds the clock moves each time it is read
        const char* progress;
    };
    const std::vector<Case> cases = {
        // The clock is read at the start and every 4096 rows: the first look
        // is 0.6 s in, the next 1.2 s.
        {true, 0.6, "\rchecked 8192 rows...\rchecked 12288 rows..."},
        {true, 0.001, ""},  // a quick check shows none
        {false, 0.6, ""},   // nor does one whose errors go to a file
    };
    for (const Case& c : cases) {
        StringSource in(list);
        StringOutput out;
        StringOutput err;
        double now = 0;
        CheckEnvironment environment;
        environment.seconds = [&now, &c] { return now += c.step; };
        environment.progress_on_terminal = c.terminal;
        options.command = CliCommand::Check;
        EXPECT_EQ(RunCheck(options, in, out, err, environment), 0);
        const std::string blank =
            "\r" + std::string(std::string("checked 12288 rows...").size(), ' ') + "\r";
        const std::string expected = *c.progress == 0 ? "" : c.progress + blank;
        EXPECT_EQ(err.Text().substr(0, err.Text().find("12288 rows checked")), expected)
            << c.terminal << " " << c.step;
    }
}

TEST_F(CheckTest, ColumnsAreFoundByTheirUsualNamesOrAsGiven) {
    struct Case {
        const char* header;
        const char* postcode_column;
        const char* locality_column;
        const char* state_column;
        const char* row;
        int status;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"POST CODE,Town,STATE", "", "", "", "2000,Sydney,NSW", 0, ""},
        {" PCode ,Locality,State", "", "", "", "2000,Sydney,NSW", 0, ""},
        {"a,b,c", "A", "2", "3", "2000,Sydney,NSW", 0, ""},
        {"Where,Zip,Region", "zip", "1", "region", "Sydney,2000,NSW", 0, ""},
        {"Name,Suburb", "", "", "", "Ann,Sydney", 2,
         "has no column for postcode, state. Its header names: 'Name', 'Suburb'."},
        {"Suburb,State,Postcode", "9", "", "", "Sydney,NSW,2000", 2, "has no column for '9'"},
    };
    for (const Case& c : cases) {
        CliOptions o = options;
        o.check.postcode_column = c.postcode_column;
        o.check.locality_column = c.locality_column;
        o.check.state_column = c.state_column;
        const CommandRun run = RunCheckOn(o, std::string(c.header) + "\n" + c.row + "\n");
        EXPECT_EQ(run.status, c.status) << c.header << "\n" << run.err;
        EXPECT_THAT(run.err, HasSubstr(c.error)) << c.header;
        if (c.status == 2) {
            EXPECT_EQ(run.out, "") << c.header;
        }
    }
}

TEST_F(CheckTest, ListsSavedInEachEncodingAndDelimiterReadAlike) {
    // The same two rows, as spreadsheets save them: UTF-8 with and without a
    // byte order mark, Windows-1252, with commas, semicolons or tabs.
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected;
    };
    const std::string utf8_rows = "Zoë \"Zed\",Sydney,NSW,2000\r\nCafé €5,Perth,WA,6000\r\n";
    const std::vector<Case> cases = {
        {"UTF-8", "Name,Suburb,State,Postcode\r\n" + utf8_rows,
         "Name,Suburb,State,Postcode,verdict,suggestion\r\n"
         "\"Zoë \"\"Zed\"\"\",Sydney,NSW,2000,ok,\r\nCafé €5,Perth,WA,6000,ok,\r\n"},
        {"UTF-8 with BOM", "\xEF\xBB\xBFName,Suburb,State,Postcode\r\n" + utf8_rows,
         "\xEF\xBB\xBFName,Suburb,State,Postcode,verdict,suggestion\r\n"
         "\"Zoë \"\"Zed\"\"\",Sydney,NSW,2000,ok,\r\nCafé €5,Perth,WA,6000,ok,\r\n"},
        {"Windows-1252",
         "Name,Suburb,State,Postcode\r\nZo\xEB \"Zed\",Sydney,NSW,2000\r\nCaf\xE9 \x80"
         "5,Perth,WA,6000\r\n",
         "Name,Suburb,State,Postcode,verdict,suggestion\r\n"
         "\"Zoë \"\"Zed\"\"\",Sydney,NSW,2000,ok,\r\nCafé €5,Perth,WA,6000,ok,\r\n"},
        {"semicolons, quoted, LF",
         "Name;Suburb;State;Postcode\n\"Zoë \"\"Zed\"\"\";Sydney;NSW;2000\n\"Café "
         "€5\";\"Perth\";WA;"
         "6000\n",
         "Name;Suburb;State;Postcode;verdict;suggestion\n"
         "\"Zoë \"\"Zed\"\"\";Sydney;NSW;2000;ok;\nCafé €5;Perth;WA;6000;ok;\n"},
        {"tabs, a comma in a field", "Name\tSuburb\tState\tPostcode\nZoë, Zed\tSydney\tNSW\t2000\n",
         "Name\tSuburb\tState\tPostcode\tverdict\tsuggestion\nZoë, Zed\tSydney\tNSW\t2000\tok\t\n"},
        {"a line end inside quotes, no last line end",
         "Name,Suburb,State,Postcode\r\n\"Zoë\r\nZed\",Sydney,NSW,2000",
         "Name,Suburb,State,Postcode,verdict,suggestion\r\n\"Zoë\r\nZed\",Sydney,NSW,2000,ok,\r\n"},
    };
    for (const Case& c : cases) {
        const CommandRun run = RunCheckOn(options, c.bytes);
        EXPECT_EQ(run.status, 0) << c.name << "\n" << run.err;
        EXPECT_EQ(run.out, c.expected) << c.name;
    }
}

// Bytes made on demand: a header, a row, then one line of `size` letters,
// never held whole.
class EndlessLine final : public ByteSource {
  public:
    explicit EndlessLine(std::size_t size) : left_(size) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        if (!head_.empty()) {
            const std::size_t n = std::min(size, head_.size());
            head_.copy(buffer, n);
            head_.erase(0, n);
            return static_cast<std::ptrdiff_t>(n);
        }
        const std::size_t n = std::min(size, left_);
        std::fill_n(buffer, n, 'x');
        left_ -= n;
        return static_cast<std::ptrdiff_t>(n);
    }
    std::string Error() const override { return {}; }

  private:
    std::string head_ = "Suburb,State,Postcode\nSydney,NSW,2000\n";
    std::size_t left_;
};

TEST_F(CheckTest, BadListsNameTheLineAndKeepTheRowsBefore) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* error;
        const char* out;  // the rows written before the error
    };
    const std::string header = "Suburb,State,Postcode\n";
    const std::string checked_header = "Suburb,State,Postcode,verdict,suggestion\n";
    const std::vector<Case> cases = {
        {"an unterminated quote", header + "Sydney,NSW,2000\n\"Perth,WA,6000\nAlbury,NSW,2640\n",
         "The quoted field that begins at line 3 has no closing quote.",
         "Suburb,State,Postcode,verdict,suggestion\nSydney,NSW,2000,ok,\n"},
        {"a NUL byte", header + "Sydney,NSW,2000\nPer" + std::string(1, '\0') + "th,WA,6000\n",
         "Line 3 holds a NUL byte",
         "Suburb,State,Postcode,verdict,suggestion\nSydney,NSW,2000,ok,\n"},
        {"UTF-16", std::string("S\0u\0b\0,\0", 8), "Line 1 holds a NUL byte", ""},
        {"an empty file", "", "The list is empty: it has no header line.", ""},
        {"blank lines only", "\r\n\n", "The list is empty", ""},
    };
    for (const Case& c : cases) {
        const CommandRun run = RunCheckOn(options, c.bytes);
        EXPECT_EQ(run.status, 2) << c.name;
        EXPECT_THAT(run.err, HasSubstr(c.error)) << c.name;
        EXPECT_EQ(run.out, c.out) << c.name;
    }

    // A line of 100 MB: the rows before it are written and memory stays
    // bounded.
    EndlessLine endless(std::size_t{100} << 20);
    StringOutput out;
    StringOutput err;
    options.command = CliCommand::Check;
    const long before = ResidentKb();
    EXPECT_EQ(RunCheck(options, endless, out, err, {}), 2);
    EXPECT_LT(ResidentKb() - before, 20 * 1024);
    EXPECT_THAT(err.Text(), HasSubstr("The row that begins at line 3 is longer than 1 MiB."));
    EXPECT_EQ(out.Text(), checked_header + "Sydney,NSW,2000,ok,\n");
}

TEST_F(CheckTest, AnOutputFileIsReplacedOnlyByACheckThatEnds) {
    const std::string good = "Suburb,State,Postcode\nSydney,NSW,2000\n";
    const std::string bad = "Suburb,State,Postcode\nSydney,NSW,2000\n\"Perth\n";
    const std::string list = dir.Write("list.csv", good);
    const std::string bad_list = dir.Write("bad.csv", bad);
    const std::string old_output = "what was there before\n";
    struct Case {
        const char* name;
        std::string input;
        std::string output;
        int status;
        bool replaced;  // the output file holds the checked rows afterwards
    };
    const std::vector<Case> cases = {
        {"a new file", list, dir.File("new.csv"), 0, true},
        {"an old file", list, dir.File("old.csv"), 0, true},
        {"a list that fails", bad_list, dir.File("old.csv"), 2, false},
        {"the input itself", list, list, 2, false},
        {"the input by another name", list, TempDir::Join(dir.File("."), "list.csv"), 2, false},
        {"the data file", list, options.data_file, 2, false},
        {"a folder that is not there", list, TempDir::Join(dir.File("none"), "out.csv"), 2, false},
    };
    for (const Case& c : cases) {
        dir.Write("old.csv", old_output);
        std::filesystem::remove(PathFromUtf8(dir.File("new.csv")));
        const std::string input_before = testing::ReadFileBytes(c.input);
        const std::string output_before = testing::ReadFileBytes(c.output);
        CliOptions o = options;
        o.check.input = c.input;
        o.check.output = c.output;
        const CommandRun run = RunCheckOn(o, "");
        EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
        EXPECT_EQ(run.out, "") << c.name;
        EXPECT_EQ(testing::ReadFileBytes(c.input), input_before) << c.name;
        EXPECT_EQ(testing::ReadFileBytes(c.output),
                  c.replaced ? "Suburb,State,Postcode,verdict,suggestion\nSydney,NSW,2000,ok,\n"
                             : output_before)
            << c.name;
        // No temporary file is left behind, and nothing else appears.
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(dir.Path()))) {
            names.push_back(Utf8FromPath(entry.path().filename()));
        }
        std::sort(names.begin(), names.end());
        std::vector<std::string> expected = {"bad.csv", "list.csv", "old.csv", "postcodes.csv"};
        if (c.replaced && c.output == dir.File("new.csv")) {
            expected.insert(expected.begin() + 2, "new.csv");
        }
        EXPECT_EQ(names, expected) << c.name;
    }
}

}  // namespace
}  // namespace korvallestin

namespace korvallestin {
namespace {

// Counts what is read of it.
class CountingSource final : public ByteSource {
  public:
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        ++reads;
        return list.Read(buffer, size);
    }
    std::string Error() const override { return {}; }
    StringSource list{"Suburb,State,Postcode\nSydney,NSW,2000\n"};
    int reads = 0;
};

// An output that is no file to replace is refused before the list is read,
// and nothing is made beside it.
TEST_F(CheckTest, AnOutputThatIsNoFileIsRefusedBeforeTheListIsRead) {
    const std::string folder = dir.File("folder");
    std::filesystem::create_directory(PathFromUtf8(folder));
    CliOptions o = options;
    o.command = CliCommand::Check;
    o.check.output = folder;
    CountingSource in;
    StringOutput out;
    StringOutput err;
    EXPECT_EQ(RunCheck(o, in, out, err, {}), 2);
    EXPECT_EQ(err.Text(), "korvallestin-cli: Cannot write the output " + folder +
                              ": It is a folder, not a file.\n");
    EXPECT_EQ(in.reads, 0);
    EXPECT_EQ(out.Text(), "");
    EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(folder)));
}

}  // namespace
}  // namespace korvallestin
