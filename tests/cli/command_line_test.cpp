#include "command_line.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korvallestin {
namespace {

TEST(CommandLine, ReadsEachCommandsOptionsAndRefusesMistakes) {
    struct Case {
        std::vector<std::string> args;
        std::string error;  // empty when the line is right
        std::string summary;
    };
    // What was read, in a few words, to compare at once.
    auto summary = [](const CliOptions& o) {
        std::string s = o.command == CliCommand::Find    ? "find"
                        : o.command == CliCommand::Check ? "check"
                                                         : "none";
        s += o.help ? " help" : "";
        s += o.version ? " version" : "";
        s += o.data_file.empty() ? "" : " data=" + o.data_file;
        if (o.command == CliCommand::Find) {
            s += " p=" + o.find.postcode + " s=" + o.find.state + " l=" + o.find.locality;
            s += o.find.contains ? " contains" : "";
            s += o.find.sort_column ? " sort=" + std::to_string(*o.find.sort_column) : "";
            s += o.find.descending ? " desc" : "";
            s += " format=" + std::to_string(static_cast<int>(o.find.format));
        } else if (o.command == CliCommand::Check) {
            s += " in=" + o.check.input + " out=" + o.check.output +
                 " pc=" + o.check.postcode_column + " lc=" + o.check.locality_column +
                 " sc=" + o.check.state_column;
            s += o.check.problems_only ? " problems" : "";
        }
        return s;
    };
    const std::vector<Case> cases = {
        {{"find", "--postcode", "4109", "--state=qld", "--locality", "sunny"},
         "",
         "find p=4109 s=qld l=sunny format=0"},
        {{"--data", "x.csv", "find", "--contains", "--locality", "-x", "--sort", "Delivery Office",
          "--descending", "--format", "json"},
         "",
         "find data=x.csv p= s= l=-x contains sort=4 desc format=3"},
        {{"find", "--sort=9", "--format=tsv", "--data=y.csv"},
         "",
         "find data=y.csv p= s= l= sort=8 format=2"},
        {{"find", "--sort", "bsp_number"}, "", "find p= s= l= sort=7 format=0"},
        {{"check"}, "", "check in=- out= pc= lc= sc="},
        {{"check", "list.csv", "--output", "out.csv", "--postcode-column", "3", "--locality-column",
          "Town", "--state-column=st", "--problems-only"},
         "",
         "check in=list.csv out=out.csv pc=3 lc=Town sc=st problems"},
        {{"check", "--", "-list.csv"}, "", "check in=-list.csv out= pc= lc= sc="},
        {{"--help"}, "", "none help"},
        {{"find", "-h"}, "", "find help p= s= l= format=0"},
        {{"--version"}, "", "none version"},
        {{}, "no command given (the commands are find and check)", ""},
        {{"look"}, "unknown command 'look' (the commands are find and check)", ""},
        {{"find", "--output", "x"}, "unknown option --output for find", ""},
        {{"check", "--sort", "1"}, "unknown option --sort for check", ""},
        {{"find", "--state"}, "option --state needs a value", ""},
        {{"find", "--contains=yes"}, "option --contains takes no value", ""},
        {{"find", "--sort", "10"}, "no column '10' to sort by", ""},
        {{"find", "--sort", "town"}, "no column 'town' to sort by", ""},
        {{"find", "--format", "xml"},
         "no format 'xml' (the formats are text, csv, tsv and json)",
         ""},
        // A format's name in any letter case, as a column's heading.
        {{"find", "--format", "CSV"}, "", "find p= s= l= format=1"},
        {{"find", "--format=Json"}, "", "find p= s= l= format=3"},
        {{"find", "--format", "CSVX"},
         "no format 'CSVX' (the formats are text, csv, tsv and json)",
         ""},
        {{"find", "--descending"}, "--descending needs --sort COLUMN", ""},
        {{"find", "extra"}, "unexpected argument 'extra' for find", ""},
        {{"check", "a.csv", "b.csv"}, "unexpected argument 'b.csv' for check", ""},
        {{"--postcode", "4109", "find"},
         "unknown option --postcode (a command, find or check, comes first)",
         ""},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = ParseCommandLine(c.args);
        std::string line;
        for (const std::string& a : c.args) {
            line += a + " ";
        }
        if (c.error.empty()) {
            EXPECT_EQ(parsed.error, "") << line;
            EXPECT_EQ(summary(parsed.options), c.summary) << line;
        } else {
            EXPECT_EQ(parsed.error.substr(0, c.error.size()), c.error) << line;
        }
    }
    // Every command's help names every one of its options.
    for (const char* option : {"--postcode", "--state", "--locality", "--contains", "--sort",
                               "--descending", "--format", "--data"}) {
        EXPECT_NE(HelpText(CliCommand::Find).find(option), std::string::npos) << option;
    }
    for (const char* option : {"--postcode-column", "--locality-column", "--state-column",
                               "--output", "--problems-only", "--data"}) {
        EXPECT_NE(HelpText(CliCommand::Check).find(option), std::string::npos) << option;
    }
    EXPECT_EQ(VersionText(), std::string("korvallestin-cli ") + KORV_VERSION + "\n");
}

}  // namespace
}  // namespace korvallestin
