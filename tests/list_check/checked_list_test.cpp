#include "checked_list.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_test_data.h"

namespace korvallestin {
namespace {

using testing::RunCheckOn;
using testing::TempDir;

// The postcode file of the console's tests, as an index and as a file.
class CheckedListTest : public ::testing::Test {
  protected:
    CheckedListTest() {
        options.data_file = dir.Write("postcodes.csv", testing::SmallPostcodeFile());
        std::string error;
        EXPECT_TRUE(LoadLocalityIndex(options.data_file, index, error)) << error;
    }

    // Opens `bytes` as a list and loads it a few rows at a time.
    CheckedList::LoadState LoadWhole(CheckedList& list, const std::string& bytes,
                                     const std::string& name = "list.csv") {
        std::string error;
        EXPECT_TRUE(list.Open(dir.Write(name, bytes), error)) << error;
        CheckedList::LoadState state = CheckedList::LoadState::More;
        while ((state = list.Load(3)) == CheckedList::LoadState::More) {
        }
        return state;
    }

    // What `check` writes of the list, with `extra` options.
    std::string ConsoleCheck(const std::string& bytes, CheckOptions check) {
        CliOptions cli = options;
        check.input = dir.Write("console.csv", bytes);
        check.output = dir.File("console-out.csv");
        cli.check = check;
        const testing::CommandRun run = RunCheckOn(cli, "");
        EXPECT_LE(run.status, 1) << run.err;
        return testing::ReadFileBytes(check.output);
    }

    std::string Saved(CheckedList& list, bool check_columns = true) {
        std::string error;
        const std::string path = dir.File("saved.csv");
        EXPECT_TRUE(list.Save(path, check_columns, error)) << error;
        return testing::ReadFileBytes(path);
    }

    TempDir dir;
    CliOptions options;
    LocalityIndex index;
};

const char* const kDamaged =
    "Name,Suburb,State,Postcode\r\n"
    "a,Sunnybank,QLD,4109\r\n"
    "b,SYDNEY,NSW,2010\r\n"
    "c,Albury,VIC,2640\r\n"
    "d,Sunybank,QLD,4109\r\n"
    "e,Darwin,NT,800\r\n"
    "f,Perthh,WA,6999\r\n"
    "g,Richmund,VIC,3121\r\n"
    "h,,QLD,\r\n"
    "i,\"Port Melbourne, VIC\",VIC,3207\r\n";

// The verdicts and suggestions a window holds for each row are the ones the
// console writes, and so is the list it saves, whatever the list's shape.
TEST_F(CheckedListTest, HoldsTheConsolesVerdictsForEveryRow) {
    struct Case {
        const char* name;
        const char* list;
        CheckOptions options;
    };
    CheckOptions titled;
    titled.header_line = 3;
    CheckOptions no_header;
    no_header.no_header = true;
    no_header.locality_column = std::string(1, '1');
    no_header.state_column = std::string(1, '2');
    no_header.postcode_column = std::string(1, '3');
    const std::vector<Case> cases = {
        {"damaged rows", kDamaged, {}},
        {"windows-1252 with e acute, and bytes that would be UTF-8",
         "Suburb,State,Postcode,Note\n"
         "Sydney,NSW,2000,caf\xE9\n"
         "Sydn\xC3\xA9y,NSW,2000,x\n"
         "Albury,NSW,2640,\xC3\xA9t\xE9\n",
         {}},
        {"utf-8 with a byte order mark",
         "\xEF\xBB\xBFSuburb,State,Postcode\r\nSydn\xC3\xA9y,NSW,2000\r\nSydney,NSW,2000\r\n",
         {}},
        {"semicolons", "Suburb;State;Postcode\nSydney;NSW;2010\n\"Albury; east\";NSW;2640\n", {}},
        {"title lines", "Customers\nDecember\nSuburb,State,Postcode\nPerth,WA,6000\n", titled},
        {"blank rows and an end mark",
         "Suburb,State,Postcode\n,,\nSydney,NSW,2000\n  , ,\nSunybank,QLD,4109\n\x1A",
         {}},
        {"rows of other widths",
         "Suburb,State,Postcode\nSydney,NSW\nAlbury,NSW,2640,extra,more\nPerth,WA,6000\n",
         {}},
        {"a list checked before",
         "Suburb,State,Postcode,verdict,suggestion\nSydney,NSW,2010,wrong-postcode,x\n"
         "Perth,WA,6000,ok,\n",
         {}},
        {"no header, columns by number", "Sydney,NSW,2010\nAlbury,VIC,2640\n", no_header},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string console = ConsoleCheck(c.list, c.options);
        CheckedList list(index);
        list.SetOptions(c.options);
        ASSERT_EQ(LoadWhole(list, c.list), CheckedList::LoadState::Done) << list.FailureText();

        // Row by row: the console's last two columns.
        StringSource written(console);
        ListReader reader(written, list.Encoding() == ListOutputEncoding::Windows1252
                                       ? ListEncoding::Windows1252
                                       : ListEncoding::Utf8);
        reader.SetHeaderLine(c.options.header_line);
        std::vector<std::string> fields;
        if (!c.options.no_header) {
            ASSERT_TRUE(reader.ReadHeader(fields));
        }
        std::size_t checked = 0;
        for (std::size_t row = 0; row < list.RowCount(); ++row) {
            if (!list.RowVerdict(row)) {
                continue;
            }
            do {
                ASSERT_TRUE(reader.ReadRow(fields)) << "row " << row;
            } while (IsBlankRow(fields));
            ASSERT_GE(fields.size(), 2U);
            EXPECT_EQ(VerdictWord(*list.RowVerdict(row)), fields[fields.size() - 2]) << row;
            EXPECT_EQ(list.SuggestionText(row), fields.back()) << row;
            ++checked;
        }
        EXPECT_EQ(checked, list.Counts().rows);
        EXPECT_EQ(Saved(list), console);
    }
}

}  // namespace
}  // namespace korvallestin

namespace korvallestin {
namespace {

// "Fix all sure rows" makes exactly the console's sure fixes, and the list
// saved is the one `check --fix` writes.
TEST_F(CheckedListTest, FixAllSureSavesWhatCheckFixWrites) {
    const std::vector<const char*> lists = {
        kDamaged,
        "Suburb;State;Postcode\r\nSunybank;QLD;4109\r\nAlbury;VIC;2640\r\nMt Isa;QLD;4825\r\n"
        "Darwin;NT;800.0\r\nSydney;NSW;2000\r\n",
        "Suburb,State,Postcode,Note\nSunybank,QLD,4109,caf\xE9\nDarwin,NT,800,x\n",
    };
    for (const char* bytes : lists) {
        SCOPED_TRACE(bytes);
        CheckOptions fix;
        fix.fix = true;
        const std::string console = ConsoleCheck(bytes, fix);
        CheckedList list(index);
        ASSERT_EQ(LoadWhole(list, bytes), CheckedList::LoadState::Done);
        const std::size_t fixed = list.FixAllSure();
        EXPECT_GT(fixed, 0U);
        EXPECT_EQ(fixed, list.Counts().verdicts[static_cast<std::size_t>(Verdict::Fixed)]);
        EXPECT_EQ(Saved(list), console);
        // Nothing is left to fix, and no empty step is made of it.
        EXPECT_EQ(list.FixAllSure(), 0U);
        ASSERT_TRUE(list.Undo());
        EXPECT_FALSE(list.CanUndo());
    }
}

// Saved without the check columns, a list comes back as it was, in its own
// encoding, delimiter and line ends.
TEST_F(CheckedListTest, SavesAnUnchangedListAsItWas) {
    CheckOptions titled;
    titled.header_line = 2;
    const std::vector<std::pair<const char*, CheckOptions>> lists = {
        {kDamaged, {}},
        {"Suburb,State,Postcode,Note\nSydney,NSW,2000,caf\xE9\n,,,\nAlbury,NSW,2640,\xE9t\xE9\n",
         {}},
        {"\xEF\xBB\xBFSuburb;State;Postcode\r\nSydn\xC3\xA9y;NSW;2000\r\n\"a;b\";NSW;\r\n", {}},
        {"Our customers\nSuburb\tState\tPostcode\nPerth\tWA\t6000\nShort\tWA\n", titled},
    };
    for (const auto& [bytes, reading] : lists) {
        SCOPED_TRACE(bytes);
        CheckedList list(index);
        list.SetOptions(reading);
        ASSERT_EQ(LoadWhole(list, bytes), CheckedList::LoadState::Done);
        EXPECT_EQ(Saved(list, false), bytes);
    }
}

// A cell Windows-1252 has no byte for stops the save of a Windows-1252 list,
// and the file saved over is left as it was.
TEST_F(CheckedListTest, RefusesACharacterItsEncodingCannotHold) {
    CheckedList list(index);
    ASSERT_EQ(LoadWhole(list, "Suburb,State,Postcode\nCaf\xE9,NSW,2000\n"),
              CheckedList::LoadState::Done);
    ASSERT_EQ(list.Encoding(), ListOutputEncoding::Windows1252);
    list.SetCell(0, 0, "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x9C\x93");  // é and € fit, ✓ does not
    const std::string path = dir.Write("kept.csv", "as it was");
    std::string error;
    EXPECT_FALSE(list.Save(path, true, error));
    EXPECT_NE(error.find("Line 2 holds '\xE2\x9C\x93'"), std::string::npos) << error;
    EXPECT_EQ(testing::ReadFileBytes(path), "as it was");
    EXPECT_TRUE(list.Modified());
    list.SetCell(0, 0, "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_TRUE(list.Save(path, false, error)) << error;
    EXPECT_EQ(testing::ReadFileBytes(path), "Suburb,State,Postcode\nCaf\xE9 \x80,NSW,2000\n");
    EXPECT_FALSE(list.Modified());
}

}  // namespace
}  // namespace korvallestin

namespace korvallestin {
namespace {

// Everything a view shows of a list: each row's cells, verdict and
// suggestion, and the counts.
std::string Snapshot(const CheckedList& list) {
    std::string out;
    for (std::size_t row = 0; row < list.RowCount(); ++row) {
        for (std::size_t column = 0; column < 6; ++column) {
            out += std::string(list.Cell(row, column)) + "|";
        }
        const std::optional<Verdict> verdict = list.RowVerdict(row);
        out += std::string(verdict ? VerdictWord(*verdict) : "-") + "|" + list.SuggestionText(row) +
               "\n";
    }
    return out + list.SummaryText();
}

// Each change is one step back and forth: cells, verdicts, suggestions and
// counts come back exactly, and Modified tells whether they are the saved
// ones.
TEST_F(CheckedListTest, UndoAndRedoRestoreEachStepExactly) {
    CheckedList list(index);
    ASSERT_EQ(LoadWhole(list, kDamaged), CheckedList::LoadState::Done);
    struct Step {
        const char* name;
        std::function<void()> change;
        std::vector<std::size_t> rows;  // the rows it touches
        std::size_t row;                // one of them, and what it becomes
        const char* verdict;
        const char* suggestion;
    };
    const std::vector<Step> steps = {
        {"a suggestion chosen",
         [&] { list.ApplySuggestion(3, list.Suggestions(3).at(0)); },
         {3},
         3,
         "fixed",
         "locality was Sunybank"},
        {"a cell made wrong",
         [&] { list.SetCell(0, 3, "4000"); },
         {0},
         0,
         "wrong-postcode",
         "SUNNYBANK (QLD 4109)"},
        {"a cell that changes no place",
         [&] { list.SetCell(1, 0, "bee"); },
         {1},
         1,
         "wrong-postcode",
         "SYDNEY (NSW 2000); SYDNEY (NSW 2001)"},
        {"every sure fix", [&] { list.FixAllSure(); }, {2, 4, 6}, 4, "fixed", "postcode was 800"},
        {"a row typed right",
         [&] { list.SetCell(1, 3, "2000"); },
         {1},
         1,
         "fixed",
         "postcode was 2010"},
        {"a cell past the row's end",
         [&] { list.SetCell(7, 5, "call first"); },
         {7},
         7,
         "incomplete",
         ""},
    };
    std::vector<std::string> seen = {Snapshot(list)};
    EXPECT_FALSE(list.Modified());
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.change();
        EXPECT_EQ(list.ChangedRows(), step.rows);
        EXPECT_EQ(VerdictWord(list.RowVerdict(step.row).value()), step.verdict);
        EXPECT_EQ(list.SuggestionText(step.row), step.suggestion);
        EXPECT_NE(Snapshot(list), seen.back());
        seen.push_back(Snapshot(list));
        EXPECT_TRUE(list.Modified());
    }
    EXPECT_EQ(list.Counts().verdicts[static_cast<std::size_t>(Verdict::Fixed)], 5U);
    EXPECT_EQ(list.Counts().rows, 9U);
    std::string error;
    ASSERT_TRUE(list.Save(dir.File("out.csv"), true, error)) << error;
    EXPECT_FALSE(list.Modified());
    for (std::size_t i = steps.size(); i-- > 0;) {
        SCOPED_TRACE(steps[i].name);
        ASSERT_TRUE(list.Undo());
        EXPECT_EQ(list.ChangedRows(), steps[i].rows);
        EXPECT_EQ(Snapshot(list), seen[i]);
        EXPECT_TRUE(list.Modified());
    }
    EXPECT_FALSE(list.Undo());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        ASSERT_TRUE(list.Redo());
        EXPECT_EQ(Snapshot(list), seen[i + 1]);
    }
    EXPECT_FALSE(list.Redo());
    EXPECT_FALSE(list.Modified());  // back at what was saved
    EXPECT_EQ(list.ColumnCount(), 6U);
    EXPECT_EQ(list.Headings().at(5), "column 6");
    // A new change after an undo drops the steps that were undone.
    ASSERT_TRUE(list.Undo());
    list.SetCell(5, 0, "eff");
    EXPECT_FALSE(list.CanRedo());
    EXPECT_TRUE(list.Modified());
    // Undone to the start, it is the list as the console checks it.
    while (list.Undo()) {
    }
    EXPECT_EQ(Saved(list), ConsoleCheck(kDamaged, {}));
}

// A list that cannot be read to its end fails at its line; the rows before
// stay, and nothing is checked after.
TEST_F(CheckedListTest, ABadListFailsAtItsLineKeepingTheRowsBefore) {
    struct Case {
        std::string list;
        const char* failure;
        std::size_t rows;
    };
    const std::vector<Case> cases = {
        {"Suburb,State,Postcode\nSydney,NSW,2000\nPerth,WA,6000\n\"Albury,NSW,2640\n",
         "The quoted field that begins at line 4 has no closing quote.", 2},
        {std::string("Suburb,State,Postcode\nSydney,NSW,2000\nPe\0rth,WA,6000\n", 48),
         "Line 3 holds a NUL byte", 1},
        {"", "The list is empty: it has no header line.", 0},
        {"\n\n", "The list is empty: it has no header line.", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure);
        CheckedList list(index);
        EXPECT_EQ(LoadWhole(list, c.list), CheckedList::LoadState::Failed);
        EXPECT_EQ(list.FailureText().rfind(c.failure, 0), 0U) << list.FailureText();
        EXPECT_EQ(list.RowCount(), c.rows);
        EXPECT_EQ(list.Counts().rows, c.rows);
        EXPECT_EQ(list.Load(10), CheckedList::LoadState::Failed);
        // Part of a list is neither changed nor saved.
        list.SetCell(0, 0, "Albury");
        EXPECT_FALSE(list.CanUndo());
        std::string error;
        EXPECT_FALSE(list.Save(dir.File("part.csv"), false, error));
        EXPECT_FALSE(std::filesystem::exists(dir.File("part.csv")));
    }
}

// Columns not found by their headings are asked for; the answer is checked
// before loading goes on with them.
TEST_F(CheckedListTest, AsksForColumnsItCannotFind) {
    struct Case {
        const char* list;
        const char* question;
    };
    const std::vector<Case> cases = {
        {"Place,Region,Code\nSydney,NSW,2010\nPerth,WA,6000\n",
         "The list has no column for postcode, locality, state. Its header names: 'Place', "
         "'Region', 'Code'."},
        {"Suburb,Town,State,Postcode\nSydney,x,NSW,2010\nPerth,x,WA,6000\n",
         "The list has 2 columns that could be the locality: 1 'Suburb' and 2 'Town'."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        CheckedList list(index);
        ASSERT_EQ(LoadWhole(list, c.list), CheckedList::LoadState::NeedColumns);
        EXPECT_EQ(list.ColumnQuestion(), c.question);
        const std::size_t width = list.Headings().size();
        const auto last = static_cast<int>(width) - 1;
        ASSERT_EQ(list.FirstRows(5).size(), 2U);
        EXPECT_EQ(list.FirstRows(1).at(0).at(0), "Sydney");
        std::string error;
        EXPECT_FALSE(list.SetColumns(last, 0, 0, error));
        EXPECT_EQ(error, "The postcode, locality and state must be three different columns.");
        EXPECT_FALSE(list.SetColumns(last + 1, 0, 1, error));
        EXPECT_FALSE(list.SetColumns(last, -1, 1, error));
        EXPECT_EQ(list.Load(10), CheckedList::LoadState::NeedColumns);
        ASSERT_TRUE(list.SetColumns(last, 0, last - 1, error)) << error;
        EXPECT_FALSE(list.SetColumns(last, 0, last - 1, error));
        CheckedList::LoadState state = CheckedList::LoadState::More;
        while ((state = list.Load(1)) == CheckedList::LoadState::More) {
        }
        ASSERT_EQ(state, CheckedList::LoadState::Done);
        EXPECT_EQ(list.Columns().postcode.index, last);
        EXPECT_EQ(list.ColumnsFoundText(), "");
        EXPECT_EQ(VerdictWord(list.RowVerdict(0).value()), "wrong-postcode");
        EXPECT_EQ(VerdictWord(list.RowVerdict(1).value()), "ok");
    }
    CheckedList found(index);
    ASSERT_EQ(LoadWhole(found, kDamaged), CheckedList::LoadState::Done);
    EXPECT_EQ(found.ColumnsFoundText(),
              "Checking the locality in column 2 (Suburb), the state in column 3 (State) and "
              "the postcode in column 4 (Postcode).");
}

}  // namespace
}  // namespace korvallestin

namespace korvallestin {
namespace {

// Rows come a step at a time, the first before the list is read through; a
// cancelled load keeps what it read.
TEST_F(CheckedListTest, LoadsInStepsAndStopsWhenCancelled) {
    std::string bytes = "Suburb,State,Postcode\n";
    while (bytes.size() < std::size_t{512} * 1024) {
        bytes += "Sydney,NSW,2000\nPerth,WA,6001\n";
    }
    CheckedList list(index);
    std::string error;
    ASSERT_TRUE(list.Open(dir.Write("big.csv", bytes), error)) << error;
    EXPECT_EQ(list.LoadedFraction(), 0.0);
    ASSERT_EQ(list.Load(2), CheckedList::LoadState::More);
    EXPECT_EQ(list.RowCount(), 2U);
    EXPECT_EQ(list.Counts().rows, 2U);
    EXPECT_EQ(VerdictWord(list.RowVerdict(1).value()), "wrong-postcode");
    EXPECT_EQ(list.Line(1), 3);
    const double early = list.LoadedFraction();
    EXPECT_GT(early, 0.0);
    EXPECT_LT(early, 0.5);
    ASSERT_EQ(list.Load(20000), CheckedList::LoadState::More);
    EXPECT_GT(list.LoadedFraction(), early);
    // Changes wait for the end of loading.
    list.SetCell(0, 0, "Perth");
    EXPECT_FALSE(list.CanUndo());
    list.Cancel();
    EXPECT_EQ(list.Load(10), CheckedList::LoadState::Cancelled);
    EXPECT_EQ(list.RowCount(), 20002U);
    EXPECT_EQ(list.Counts().rows, 20002U);
    EXPECT_EQ(list.Counts().verdicts[static_cast<std::size_t>(Verdict::WrongPostcode)], 10001U);
    EXPECT_EQ(list.LoadedFraction(), 1.0);
}

TEST_F(CheckedListTest, ProposesACheckedCopyBesideTheList) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"list.csv", "list (checked).csv"},
        {"My list.2024.CSV", "My list.2024 (checked).csv"},
        {"customers", "customers (checked).csv"},
    };
    for (const auto& [name, copy] : names) {
        CheckedList list(index);
        std::string error;
        ASSERT_TRUE(list.Open(dir.Write(name, "Suburb,State,Postcode\n"), error)) << error;
        EXPECT_EQ(list.CheckedCopyName(), dir.File(copy));
    }
    CheckedList missing(index);
    std::string error;
    EXPECT_FALSE(missing.Open(dir.File("none.csv"), error));
    EXPECT_EQ(error.rfind("Cannot open the list " + dir.File("none.csv") + ": ", 0), 0U) << error;
}

}  // namespace
}  // namespace korvallestin

namespace korvallestin {
namespace {

// The console's first pass over a list, a step at a time: what it learns at
// the end (a wider row, a byte that is not UTF-8) shapes every row written.
TEST_F(CheckedListTest, MeasuresAListInSteps) {
    const std::string bytes =
        "Suburb,State,Postcode\nSydney,NSW,2000\nPerth,WA,6001\nAlbury,NSW,2640,x,y\nCaf\xE9,NSW,"
        "\n";
    CheckOptions options_check;
    ListCheck check(index, options_check);
    StringSource first(bytes);
    check.StartMeasure(first);
    std::size_t steps = 0;
    while (check.MeasureRows(1)) {
        ++steps;
    }
    EXPECT_EQ(steps, 4U);
    EXPECT_FALSE(check.MeasureRows(1));
    EXPECT_EQ(check.Widest(), 5U);
    EXPECT_EQ(check.Encoding(), ListOutputEncoding::Windows1252);
    StringSource second(bytes);
    ASSERT_TRUE(check.FindColumns(second)) << check.ColumnError();
    StringOutput out;
    ASSERT_TRUE(check.WriteHead(out));
    while (check.CheckRows(1, out)) {
    }
    EXPECT_EQ(out.Text(), ConsoleCheck(bytes, {}));
}

}  // namespace
}  // namespace korvallestin
