#include "checked_list.h"

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
