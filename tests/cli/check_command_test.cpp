#include "check_command.h"

#include <filesystem>
#include <functional>
#include <memory>
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
        // The given postcode first, then the given state, at most three; the
        // rest counted.
        {"Richmund,VIC,3121", "unknown-locality",
         "RICHMOND (VIC 3121); RICHMOND (NSW 2753); RICHMOND (QLD 4822); and 2 more"},
        {"Richmund,NSW,3121", "unknown-locality",
         "RICHMOND (VIC 3121); RICHMOND (NSW 2753); RICHMOND (QLD 4822); and 2 more"},
        {"Richmund,SA,2000", "unknown-locality",
         "RICHMOND (SA 5033); RICHMOND (NSW 2753); RICHMOND (QLD 4822); and 2 more"},
        {"Xanadu,QLD,4109", "unknown-locality", ""},
        {"Perthh,WA,6999", "unknown-postcode", "PERTH (WA 6000)"},
        {",QLD,4109", "incomplete", ""},
        {"Sydney,,2000", "incomplete", ""},
        // A postcode kept as a number has a verdict of its own.
        {"Sydney,NSW,200", "postcode-as-number", "SYDNEY (NSW 2000); SYDNEY (NSW 2001)"},
        {"Sydney,NSW,2OOO", "incomplete", ""},
        {"Sydney", "incomplete", ""},  // too few fields: padded
    };
    std::string list = "Suburb,State,Postcode\n";
    std::string expected = "Suburb,State,Postcode,verdict,suggestion\n";
    for (const Case& c : cases) {
        list += std::string(c.row) + "\n";
        expected += std::string(c.row) + (std::string(c.row) == "Sydney" ? ",," : "") + "," +
                    c.verdict + "," + c.suggestion + "\n";
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
    EXPECT_THAT(run.err, HasSubstr(": 2 ok, 1 wrong-postcode, 2 wrong-state, 0 "
                                   "wrong-state-and-postcode, 9 unknown-locality, 1 "
                                   "unknown-postcode, 1 postcode-as-number, 4 incomplete, 0 "
                                   "fixed\n"));

    // Every row right: status 0; only problems: nothing but the header.
    options.check.problems_only = true;
    const CommandRun all_ok = RunCheckOn(options, "Suburb,State,Postcode\nsydney,nsw,2001\n");
    EXPECT_EQ(all_ok.status, 0) << all_ok.err;
    EXPECT_EQ(all_ok.out, "Suburb,State,Postcode,verdict,suggestion\n");
}

TEST_F(CheckTest, ProblemsOnlyWritesEveryRowThatIsNotOkAndNoOther) {
    struct Row {
        const char* row;
        const char* verdict;
    };
    const std::vector<Row> rows = {
        {"Sydney,NSW,2000", "ok"},   {"Sydney,NSW,2010", "wrong-postcode"},
        {"Albury,NSW,2640", "ok"},   {"Sunybank,QLD,4109", "unknown-locality"},
        {",QLD,4109", "incomplete"}, {"Perth,WA,6000", "ok"},
    };
    std::string list = "Suburb,State,Postcode\n";
    std::vector<std::string> expected;
    for (const Row& r : rows) {
        list += std::string(r.row) + "\n";
        if (std::string_view(r.verdict) != "ok") {
            expected.push_back(std::string(r.row) + "," + r.verdict + ",");
        }
    }
    options.check.problems_only = true;
    const CommandRun run = RunCheckOn(options, list);
    EXPECT_EQ(run.status, 1);
    // The header, then each row that is not ok with its verdict (and
    // whatever it suggests), in the list's order.
    std::vector<std::string> got;
    for (std::size_t start = run.out.find('\n') + 1; start < run.out.size();) {
        const std::size_t end = run.out.find('\n', start);
        got.push_back(run.out.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(got.size(), expected.size()) << run.out;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].substr(0, expected[i].size()), expected[i]);
    }
    // The summary still counts every row.
    EXPECT_THAT(run.err, HasSubstr("6 rows checked in"));
}

TEST_F(CheckTest, FixReplacesOnlySureCellsAndASecondCheckFindsThemOk) {
    options.check.fix = true;
    const CommandRun fixed = RunCheckOn(options,
                                        "Name;Suburb;State;Postcode\r\n"
                                        "Ann;Darwin;NT;800\r\n"
                                        "Bo;Sunybank;qld;4109\r\n"
                                        "Cy;Albury;VIC;2640\r\n"
                                        "Dee;Sydney;NSW;2010\r\n"
                                        "Ed;Perth;WA;6000\r\n");
    EXPECT_EQ(fixed.status, 1) << fixed.err;
    EXPECT_EQ(fixed.out,
              "Name;Suburb;State;Postcode;verdict;suggestion\r\n"
              "Ann;Darwin;NT;0800;fixed;postcode was 800\r\n"
              "Bo;Sunnybank;qld;4109;fixed;locality was Sunybank\r\n"
              "Cy;Albury;NSW;2640;fixed;state was VIC\r\n"
              "Dee;Sydney;NSW;2010;wrong-postcode;\"SYDNEY (NSW 2000); SYDNEY (NSW 2001)\"\r\n"
              "Ed;Perth;WA;6000;ok;\r\n");
    EXPECT_THAT(fixed.err, HasSubstr(", 3 fixed\n"));

    // The fixed rows, without the columns the check added, are ok; a list
    // whose rows are all ok or fixed ends with status 0.
    std::string again;
    for (std::size_t start = 0; start < fixed.out.size();) {
        const std::size_t end = fixed.out.find("\r\n", start);
        const std::string line = fixed.out.substr(start, end - start);
        if (line.find("wrong-postcode") == std::string::npos) {
            again += line.substr(0, line.rfind(';', line.rfind(';') - 1)) + "\r\n";
        }
        start = end + 2;
    }
    options.check.fix = false;
    const CommandRun second = RunCheckOn(options, again);
    EXPECT_EQ(second.status, 0) << second.out;
    options.check.fix = true;
    EXPECT_EQ(RunCheckOn(options, "Suburb,State,Postcode\nDarwin,NT,800.0\n").status, 0);
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
        std::string blank(std::string("checked 12288 rows...").size() + 2, ' ');
        blank.front() = blank.back() = '\r';
        const std::string expected = *c.progress == 0 ? "" : c.progress + blank;
        // After the note of the columns used.
        const std::size_t note_end = err.Text().find(".\n") + 2;
        EXPECT_EQ(err.Text().substr(note_end, err.Text().find("12288 rows checked") - note_end),
                  expected)
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
         "\"Zo\xEB \"\"Zed\"\"\",Sydney,NSW,2000,ok,\r\nCaf\xE9 \x80"
         "5,Perth,WA,6000,ok,\r\n"},
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

TEST_F(CheckTest, EveryRowComesBackWholeWithItsVerdictUnderItsHeading) {
    struct Case {
        const char* name;
        std::string list;
        bool problems_only;
        int status;
        std::string out;
        std::vector<std::string> summary;  // lines the summary holds
    };
    const std::string head = "Name,Suburb,State,Postcode\n";
    const std::vector<Case> cases = {
        {"short rows padded, long rows whole, the header padded to the widest",
         head + "A,Sydney,NSW\nB,Sydney,NSW,2000,x,y\nC,Perth,WA,6000\n",
         false,
         1,
         "Name,Suburb,State,Postcode,column 5,column 6,verdict,suggestion\n"
         "A,Sydney,NSW,,,,incomplete,\nB,Sydney,NSW,2000,x,y,ok,\nC,Perth,WA,6000,,,ok,\n",
         {"2 rows have another number of fields than the header's 4: lines 2 and 3.\n"}},
        {"blank rows and a last Ctrl-Z as they were, not problems",
         head + ",,,\r\n  ,\t,,\nC,Perth,WA,6000\n,,,,,,,,\n\x1A",
         false,
         0,
         "Name,Suburb,State,Postcode,verdict,suggestion\n,,,\n  ,\t,,\n"
         "C,Perth,WA,6000,ok,\n,,,,,,,,\n\x1A",
         {": 1 ok, 0 wrong-postcode", "4 blank rows left as they were, without a verdict.\n"}},
        {"a Ctrl-Z right after the last row",
         head + "C,Perth,WA,6000\x1A",
         false,
         0,
         "Name,Suburb,State,Postcode,verdict,suggestion\nC,Perth,WA,6000,ok,\n\x1A",
         {"1 blank row"}},
        {"only problems: no ok row, no blank row",
         head + "A,Sydney,NSW,2000\nB,Sydney,NSW,3000\n,,,\nC,Perth,WA,6000\n",
         true,
         1,
         "Name,Suburb,State,Postcode,verdict,suggestion\nB,Sydney,NSW,3000,wrong-postcode,"
         "SYDNEY (NSW 2000); SYDNEY (NSW 2001)\n",
         {": 2 ok, 1 wrong-postcode"}},
        {"the first five lines of another width named",
         head + "A\nA\nA,Perth,WA,6000\nA\nA\nA\nA\nA\n",
         true,
         1,
         "Name,Suburb,State,Postcode,verdict,suggestion\nA,,,,incomplete,\nA,,,,incomplete,\n"
         "A,,,,incomplete,\nA,,,,incomplete,\nA,,,,incomplete,\nA,,,,incomplete,\n"
         "A,,,,incomplete,\n",
         {"7 rows have another number of fields than the header's 4: lines 2, 3, 5, 6, 7 and 2 "
          "more.\n"}},
    };
    for (const Case& c : cases) {
        CliOptions o = options;
        o.check.problems_only = c.problems_only;
        const CommandRun run = RunCheckOn(o, c.list);
        EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
        EXPECT_EQ(run.out, c.out) << c.name;
        for (const std::string& line : c.summary) {
            EXPECT_THAT(run.err, HasSubstr(line)) << c.name;
        }
        // Checked again, the added columns are replaced, not added twice.
        if (!c.problems_only) {
            EXPECT_EQ(RunCheckOn(o, run.out).out, c.out) << c.name << ", checked twice";
        }
    }
}

TEST_F(CheckTest, HeadersTitlesAndDelimitersAreFoundAsPeopleWriteThem) {
    struct Case {
        const char* name;
        std::string list;
        std::function<void(CheckOptions&)> options;
        int status;
        std::string out;  // empty: not compared
        const char* err;
    };
    auto none = [](CheckOptions&) {};
    const std::vector<Case> cases = {
        {"other usual names, any case, underscores and no-break spaces around",
         "City,\xC2\xA0State/Territory_, Post_Code \nSydney,NSW,2000\n", none, 0, "",
         "Checking the locality in column 1 (City), the state in column 2 (\xC2\xA0State/"
         "Territory_) and the postcode in column 3 ( Post_Code ).\n"},
        {"ZIP and Postal Code", "Town,State,ZIP,Postal Code\nSydney,NSW,2000,2000\n", none, 2, "",
         "The list (standard input) has 2 columns that could be the postcode: 3 'ZIP' and 4 "
         "'Postal Code'. Name the one to use with --postcode-column."},
        {"Town and Suburb, one named", "Town,Suburb,State,Postcode\nX,Sydney,NSW,2000\n",
         [](CheckOptions& o) { o.locality_column = "suburb"; }, 0, "",
         "the locality in column 2 (Suburb)"},
        {"no header, columns by number", "2000;NSW;Sydney\n6000;WA;Perth\n",
         [](CheckOptions& o) {
             o.no_header = true;
             o.postcode_column = "1";
             o.state_column = "2";
             o.locality_column = "3";
         },
         0, "2000;NSW;Sydney;ok;\n6000;WA;Perth;ok;\n",
         "Checking the locality in column 3, the state in column 2 and the postcode in column 1."},
        {"title lines above the header, the header named",
         "Customers 2026\r\n\r\nExported: "
         "today\r\n\r\nSuburb;State;Postcode\r\nSydney;NSW;2000\r\n",
         [](CheckOptions& o) { o.header_line = 5; }, 0,
         "Customers 2026\r\nExported: today\r\nSuburb;State;Postcode;verdict;suggestion\r\n"
         "Sydney;NSW;2000;ok;\r\n",
         ""},
        {"a blank line before the header", "\n\nSuburb;State;Postcode\nSydney;NSW;2000\n", none, 0,
         "Suburb;State;Postcode;verdict;suggestion\nSydney;NSW;2000;ok;\n", ""},
        {"semicolons inside quotes do not count",
         "\"Name;;;;\",Suburb,State,Postcode\nA;B,Sydney,NSW,2000\n", none, 0,
         "Name;;;;,Suburb,State,Postcode,verdict,suggestion\nA;B,Sydney,NSW,2000,ok,\n", ""},
        {"the delimiter given", "Suburb|State|Postcode|Note, more\nSydney|NSW|2000|a, b\n",
         [](CheckOptions& o) { o.delimiter = '|'; }, 0,
         "Suburb|State|Postcode|Note, more|verdict|suggestion\nSydney|NSW|2000|a, b|ok|\n", ""},
        {"a header line past the end", "Suburb,State,Postcode\n",
         [](CheckOptions& o) { o.header_line = 4; }, 2, "",
         "The list ends before line 4, the header line given."},
    };
    for (const Case& c : cases) {
        CliOptions o = options;
        c.options(o.check);
        const CommandRun run = RunCheckOn(o, c.list);
        EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
        if (!c.out.empty()) {
            EXPECT_EQ(run.out, c.out) << c.name;
        }
        EXPECT_THAT(run.err, HasSubstr(c.err)) << c.name;
    }
}

// Every byte from 0x80 to 0xFF.
std::string HighBytes() {
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b) {
        bytes.push_back(static_cast<char>(b));
    }
    return bytes;
}

TEST_F(CheckTest, AListIsWrittenBackInItsOwnEncodingOrTheOneAsked) {
    struct Case {
        const char* name;
        std::string list;
        ListOutputEncoding encoding;
        int status;
        std::string out;  // after the header, or the error
    };
    const std::string head = "Name,Suburb,State,Postcode\r\n";
    const std::string checked_head = "Name,Suburb,State,Postcode,verdict,suggestion\r\n";
    const std::vector<Case> cases = {
        // One byte not UTF-8 makes the whole list Windows-1252: "Ã©" stays
        // two characters, and both rows come back byte for byte.
        {"Windows-1252, decided once",
         head + "Ren\xC3\xA9,Perth,WA,6000\r\nRen\xE9,Perth,WA,6000\r\n", ListOutputEncoding::Same,
         0, "Ren\xC3\xA9,Perth,WA,6000,ok,\r\nRen\xE9,Perth,WA,6000,ok,\r\n"},
        {"Windows-1252, every byte beyond ASCII back as it was",
         head + HighBytes() + ",Perth,WA,6000\r\n", ListOutputEncoding::Same, 0,
         HighBytes() + ",Perth,WA,6000,ok,\r\n"},
        {"Windows-1252 to UTF-8 with its mark", head + "Ren\xE9 \x80,Perth,WA,6000\r\n",
         ListOutputEncoding::Utf8WithBom, 0,
         "\xEF\xBB\xBF" + checked_head + "Ren\xC3\xA9 \xE2\x82\xAC,Perth,WA,6000,ok,\r\n"},
        {"UTF-8 to Windows-1252",
         "\xEF\xBB\xBF" + head + "Ren\xC3\xA9 \xE2\x80\x99,Perth,WA,6000\r\n",
         ListOutputEncoding::Windows1252, 0, "Ren\xE9 \x92,Perth,WA,6000,ok,\r\n"},
        {"UTF-8 to Windows-1252, a character it lacks",
         head + "Zo\xC3\xAB,Perth,WA,6000\r\n\xC5\x91,Perth,WA,6000\r\n",
         ListOutputEncoding::Windows1252, 2,
         "Line 3 holds '\xC5\x91', which Windows-1252 has no byte for"},
    };
    for (const Case& c : cases) {
        CliOptions o = options;
        o.check.encoding = c.encoding;
        const CommandRun run = RunCheckOn(o, c.list);
        EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
        if (c.status == 2) {
            EXPECT_THAT(run.err, HasSubstr(c.out)) << c.name;
        } else if (c.out.starts_with("\xEF\xBB\xBF")) {
            EXPECT_EQ(run.out, c.out) << c.name;
        } else {
            EXPECT_EQ(run.out, checked_head + c.out) << c.name;
        }
    }
}

// Bytes made on demand: a header and a row, then `size` bytes of `fill`,
// never held whole, then `tail`.
class EndlessBytes final : public ByteSource {
  public:
    EndlessBytes(std::string head, std::size_t size, char fill, std::string tail)
        : head_(std::move(head)), left_(size), fill_(fill), tail_(std::move(tail)) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        std::string& text = !head_.empty() ? head_ : tail_;
        if (!head_.empty() || left_ == 0) {
            const std::size_t n = std::min(size, text.size());
            text.copy(buffer, n);
            text.erase(0, n);
            return static_cast<std::ptrdiff_t>(n);
        }
        const std::size_t n = std::min(size, left_);
        std::fill_n(buffer, n, fill_);
        left_ -= n;
        return static_cast<std::ptrdiff_t>(n);
    }
    std::string Error() const override { return {}; }

  private:
    std::string head_;
    std::size_t left_;
    char fill_;
    std::string tail_;
};

TEST_F(CheckTest, TheRowLimitCountsEveryByteAndField) {
    // 16,000 fields of 65 letters: under 1 MiB of letters, over it with the
    // commas between them.
    std::string wide;
    for (int i = 0; i < 16000; ++i) {
        wide += std::string(65, 'y') + ",";
    }
    wide.back() = '\n';
    struct Case {
        const char* name;
        std::string before;  // what comes before the fill on its line
        std::size_t size;
        char fill;
        std::string after;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"ten million commas", "", 10'000'000, ',', "\n",
         "The row that begins at line 3 has more than 16384 fields."},
        // In a column the check does not read, so that only the limit
        // ends it.
        {"a closed quoted field over the limit", "Sydney,NSW,2000,\"", (std::size_t{1} << 20) + 10,
         'x', "\"\n",
         "The row that begins at line 3 is longer than 1 MiB (a quoted field that begins at line "
         "3 runs past that"},
        {"delimiters count", wide, 0, 'x', "",
         "The row that begins at line 3 is longer than 1 MiB."},
    };
    for (const Case& c : cases) {
        EndlessBytes source("Suburb,State,Postcode\nSydney,NSW,2000\n" + c.before, c.size, c.fill,
                            c.after);
        StringOutput out;
        StringOutput err;
        options.command = CliCommand::Check;
        const long before = ResidentKb();
        EXPECT_EQ(RunCheck(options, source, out, err, {}), 2) << c.name;
        EXPECT_LT(ResidentKb() - before, 20 * 1024) << c.name;
        EXPECT_THAT(err.Text(), HasSubstr(c.error)) << c.name;
        EXPECT_EQ(out.Text(), "Suburb,State,Postcode,verdict,suggestion\nSydney,NSW,2000,ok,\n")
            << c.name;
    }
}

TEST_F(CheckTest, StandardErrorSaysWhatIsReadAndTheSummaryFileWhatCameOfIt) {
    const std::string list = "Suburb,State,Postcode\nSydney,NSW,2000\nSydney,NSW,3000\n,,\n";
    struct Case {
        const char* name;
        bool terminal;
        bool quiet;
        bool json;
        const char* err_begins;  // empty: nothing on standard error
    };
    const std::vector<Case> cases = {
        {"typed on a terminal", true, false, false,
         "korvallestin-cli: reading the list from standard input: type or paste it, then end it "
         "with Ctrl-D"},
        {"from a pipe", false, false, false, "Checking the locality in column 1 (Suburb)"},
        {"quiet, with the summary in a file", true, true, true, ""},
    };
    for (const Case& c : cases) {
        CliOptions o = options;
        o.command = CliCommand::Check;
        o.check.quiet = c.quiet;
        o.check.summary_json = c.json ? dir.File("summary.json") : "";
        StringSource in(list);
        StringOutput out;
        StringOutput err;
        CheckEnvironment environment;
        environment.input_on_terminal = c.terminal;
        EXPECT_EQ(RunCheck(o, in, out, err, environment), 1) << c.name;
        EXPECT_EQ(err.Text().substr(0, std::string(c.err_begins).size()), c.err_begins) << c.name;
        if (*c.err_begins == 0) {
            EXPECT_EQ(err.Text(), "") << c.name;
        } else {
            EXPECT_THAT(err.Text(), HasSubstr("2 rows checked in")) << c.name;
        }
        if (c.json) {
            const std::string json = testing::ReadFileBytes(dir.File("summary.json"));
            EXPECT_THAT(json,
                        HasSubstr("{\"rows\": 2, \"verdicts\": {\"ok\": 1, \"wrong-postcode\": "
                                  "1, \"wrong-state\": 0,"));
            EXPECT_THAT(json, HasSubstr("\"blank_rows\": 1, \"rows_of_other_width\": 0, "
                                        "\"lines_of_other_width\": [], \"columns\": {\"postcode\": "
                                        "{\"number\": 3, \"heading\": \"Postcode\"}"));
            EXPECT_THAT(json, HasSubstr("\"encoding\": \"utf-8\""));
            EXPECT_THAT(json, HasSubstr("\"status\": 1}\n"));
        }
    }
}

TEST_F(CheckTest, AWindowCanCheckInBatchesAndCancel) {
    std::string list = "Suburb,State,Postcode\n";
    for (int i = 0; i < 10; ++i) {
        list += "Sydney,NSW,2000\n";
    }
    LocalityIndex index;
    index.Finish();
    ListCheck check(index, options.check);
    StringSource first(list);
    StringSource second(list);
    check.Measure(first);
    ASSERT_TRUE(check.FindColumns(second)) << check.ColumnError();
    StringOutput out;
    EXPECT_TRUE(check.WriteHead(out));
    EXPECT_TRUE(check.CheckRows(4, out));
    EXPECT_EQ(check.Counts().rows, 4U);
    check.Cancel();
    EXPECT_FALSE(check.CheckRows(4, out));
    EXPECT_EQ(check.Counts().rows, 4U);
    EXPECT_EQ(check.ListFailed().kind, ListFailure::Kind::None);
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
