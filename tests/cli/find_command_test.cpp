#include "find_command.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli_test_data.h"

namespace korvallestin {
namespace {

using ::testing::HasSubstr;
using testing::TempDir;

struct FindRun {
    int status;
    std::string out;
    std::string err;
};

FindRun Find(const CliOptions& options) {
    StringOutput out;
    StringOutput err;
    const int status = RunFind(options, out, err);
    return {status, out.Text(), err.Text()};
}

TEST(Find, ArgumentsAreShapedAsTheWindowsBoxesShapeTypedKeys) {
    struct Case {
        const char* postcode;
        const char* state;
        const char* locality;
        const char* shaped;  // postcode|state|locality, or the error
    };
    const std::vector<Case> cases = {
        {"4109", "qld", "sunny bank", "4109|QLD|SUNNY BANK"},
        {"3.14", "Vic", " st kilda ", "3.14|VIC| ST KILDA "},  // spaces stay
        {"", "", "zoë", "||ZOë"},  // only a to z, as the window's filter
        {"", "n-s-w", "o'connor", "|N-S-W|O'CONNOR"},
        {"41a9", "", "", "the postcode cannot hold 'a'"},
        {"4109 ", "", "", "the postcode cannot hold ' '"},
        {"-4109", "", "", "the postcode cannot hold '-'"},
        {"41\t09", "", "", "the postcode cannot hold the control character 0x09"},
        {"4\b1", "", "", "the postcode cannot hold the control character 0x08"},
        {"４１", "", "", "the postcode cannot hold '４'"},
        {"4\x7F", "", "", "the postcode cannot hold the control character 0x7F"},
        {"𝟒1", "", "", "the postcode cannot hold '𝟒'"},  // four bytes of UTF-8
        // Each box named in its own words, whichever refuses the key.
        {"", "q\b", "",
         "the state cannot hold the control character 0x08 (in the window's "
         "state box it is the key that deletes)"},
        {"", "", "\bx",
         "the locality cannot hold the control character 0x08 (in the window's "
         "locality box it is the key that deletes)"},
        {"2.0x", "", "",
         "the postcode cannot hold 'x' (the window's postcode box takes only "
         "digits and the full stop)"},
    };
    for (const Case& c : cases) {
        FindOptions options;
        options.postcode = c.postcode;
        options.state = c.state;
        options.locality = c.locality;
        std::string error;
        const std::optional<SearchCriteria> criteria = ShapeCriteria(options, error);
        const std::string got = criteria ? criteria->PostcodeText + "|" + criteria->StateText +
                                               "|" + criteria->LocalityText
                                         : error;
        // The criteria whole; an error by its beginning (the rest names what
        // the box takes).
        EXPECT_EQ(criteria ? got : got.substr(0, std::string(c.shaped).size()), c.shaped)
            << c.postcode;
    }
    // A refused character ends the program with status 2, before any reading.
    CliOptions refused;
    refused.data_file = "/no/such/file.csv";
    refused.find.postcode = "41a9";
    const FindRun run = Find(refused);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "korvallestin-cli: the postcode cannot hold 'a' (the window's postcode box takes "
              "only digits and the full stop)\n");
}

TEST(Find, NothingFoundSaysSoWithTheNearestLocalities) {
    TempDir dir;
    CliOptions options;
    options.data_file = dir.Write("postcodes.csv", testing::SmallPostcodeFile());
    struct Case {
        const char* postcode;
        const char* state;
        const char* locality;
        bool contains;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"", "", "suny", false,
         "No locality begins with SUNY. Did you mean SUNNYBANK (QLD 4109), SUNNYBANK HILLS "
         "(QLD 4109) or SYDNEY (NSW 2000)?\n"},
        // Two edits away, ST KILDA and SAINT MORRIS (ST MORRIS) still count.
        {"", "", "mt i", false,
         "No locality begins with MT I. Did you mean MOUNT ISA (QLD 4825), ST KILDA (VIC 3182) "
         "or SAINT MORRIS (SA 5068)?\n"},
        {"", "", "hils", true,
         "No locality contains HILS. Did you mean SUNNYBANK HILLS (QLD 4109), ST KILDA (VIC "
         "3182) or MOUNT ISA (QLD 4825)?\n"},
        // The given state and postcode rank first; each place once.
        {"", "sa", "richmund", false,
         "No locality begins with RICHMUND in SA. Did you mean RICHMOND (SA 5033), RICHMOND "
         "(NSW 2753) or RICHMOND (QLD 4822)?\n"},
        {"3121", "", "richmund", false,
         "No locality with postcode 3121 begins with RICHMUND. Did you mean RICHMOND (VIC "
         "3121), RICHMOND (NSW 2753) or RICHMOND (QLD 4822)?\n"},
        {"", "wa", "sydney", false,
         "No locality begins with SYDNEY in WA. Did you mean SYDNEY (NSW 2000)?\n"},
        {"", "", "xanadu", false, "No locality begins with XANADU.\n"},
        {"9999", "", "", false, "No record found.\n"},
        // A postcode kept as a number: its four digits, when they find
        // something with the other criteria.
        {"800", "", "", false, "No record found. Did you mean 0800? A postcode has four digits.\n"},
        {"6000.0", "wa", "per", false,
         "No locality with postcode 6000.0 begins with PER in WA. Did you mean 6000? A postcode "
         "has four digits.\n"},
        {"800", "wa", "", false, "No record found.\n"},
    };
    for (const Case& c : cases) {
        options.find.postcode = c.postcode;
        options.find.state = c.state;
        options.find.locality = c.locality;
        options.find.contains = c.contains;
        const FindRun run = Find(options);
        EXPECT_EQ(run.status, 1) << c.locality;
        EXPECT_EQ(run.out, "") << c.locality;
        EXPECT_EQ(run.err, c.message) << c.locality;
    }
}

TEST(Find, SortedRowsComeInTheWindowsOrderEitherWay) {
    TempDir dir;
    CliOptions options;
    options.data_file = dir.Write("postcodes.csv", testing::SmallPostcodeFile());
    options.find.locality = "s";
    options.find.format = RowFormat::Tsv;
    struct Case {
        int column;
        bool descending;
        const char* rows;  // postcode and locality of each row, in order
    };
    const std::vector<Case> cases = {
        {1, false,
         "5068 SAINT MORRIS|3182 ST KILDA|4109 SUNNYBANK|4109 SUNNYBANK HILLS|2000 SYDNEY|"
         "2001 SYDNEY"},
        // Equal texts keep the file's order in both directions.
        {1, true,
         "2000 SYDNEY|2001 SYDNEY|4109 SUNNYBANK HILLS|4109 SUNNYBANK|3182 ST KILDA|"
         "5068 SAINT MORRIS"},
        {0, false,
         "2000 SYDNEY|2001 SYDNEY|3182 ST KILDA|4109 SUNNYBANK|4109 SUNNYBANK HILLS|"
         "5068 SAINT MORRIS"},
        {2, true,
         "3182 ST KILDA|5068 SAINT MORRIS|4109 SUNNYBANK|4109 SUNNYBANK HILLS|2000 SYDNEY|"
         "2001 SYDNEY"},
    };
    for (const Case& c : cases) {
        options.find.sort_column = c.column;
        options.find.descending = c.descending;
        const FindRun run = Find(options);
        EXPECT_EQ(run.status, 0) << run.err;
        std::string rows;
        std::size_t line = run.out.find('\n') + 1;  // after the headings
        for (std::size_t end; (end = run.out.find('\n', line)) != std::string::npos;
             line = end + 1) {
            const std::string text = run.out.substr(line, end - line);
            const std::size_t tab = text.find('\t');
            rows.append(rows.empty() ? "" : "|").append(text, 0, tab).append(" ");
            rows.append(text, tab + 1, text.find('\t', tab + 1) - tab - 1);
        }
        EXPECT_EQ(rows, c.rows) << c.column << (c.descending ? " descending" : "");
    }
}

TEST(Find, DataFileFailuresAreToldInTheWindowsWords) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string data_file;  // empty: the program's folder
        std::string bytes;      // written to data_file unless empty
        const char* error;
        const char* out;
    };
    const std::string header = testing::kCsvHeader;
    const std::vector<Case> cases = {
        {"missing", dir.File("absent.csv"), "", "The file does not exist.", ""},
        {"a folder", dir.Path(), "", "It is a folder, not a file.", ""},
        {"empty", dir.File("empty.csv"), " ", "The file is empty", ""},
        {"short last record", dir.File("short.csv"),
         header + testing::CsvRecord("2000", "SYDNEY", "NSW") + "\"2001\",\"SYDNEY\"\r\n",
         "The file ends inside the record that begins at line 3: it has 2 fields instead of 9.",
         "Postcode,Locality,State,Comments,Delivery Office,Presort Indicator,Parcel Zone,BSP "
         "Number,BSP Name\r\n2000,SYDNEY,NSW,,,,V1,,\r\n"},
    };
    for (const Case& c : cases) {
        if (!c.bytes.empty()) {
            dir.Write(c.data_file.substr(dir.Path().size() + 1), c.bytes);
        }
        CliOptions options;
        options.data_file = c.data_file;
        options.find.format = RowFormat::Csv;
        const FindRun run = Find(options);
        EXPECT_EQ(run.status, 2) << c.name;
        EXPECT_THAT(run.err, HasSubstr(c.error)) << c.name;
        EXPECT_THAT(run.err, HasSubstr(c.data_file)) << c.name;
        EXPECT_EQ(run.out, c.out) << c.name;
    }
}

}  // namespace
}  // namespace korvallestin
