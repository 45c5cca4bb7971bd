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
        std::string s = o.command == CliCommand::Find         ? "find"
                        : o.command == CliCommand::Check      ? "check"
                        : o.command == CliCommand::ImportData ? "import-data"
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
            s += o.check.fix ? " fix" : "";
            s += o.check.no_header ? " no-header" : "";
            s += o.check.header_line != 1 ? " line=" + std::to_string(o.check.header_line) : "";
            s += o.check.delimiter != 0 ? std::string(" delimiter=") + o.check.delimiter : "";
            s += o.check.encoding != ListOutputEncoding::Same
                     ? " encoding=" + std::to_string(static_cast<int>(o.check.encoding))
                     : "";
            s += o.check.summary_json.empty() ? "" : " json=" + o.check.summary_json;
            s += o.check.quiet ? " quiet" : "";
        } else if (o.command == CliCommand::ImportData) {
            const ImportOptions& d = o.import_data;
            s += " in=" + d.input + " out=" + d.output + " against=" + d.against +
                 " report=" + d.report + (d.install ? " install" : "");
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
        // The first and last headings, and a format's name, in any letter case.
        {{"find", "--sort", "POSTCODE", "--format", "CSV"}, "", "find p= s= l= sort=0 format=1"},
        {{"find", "--sort", "Bsp-Name"}, "", "find p= s= l= sort=8 format=0"},
        {{"check"}, "", "check in=- out= pc= lc= sc="},
        {{"check", "list.csv", "--output", "out.csv", "--postcode-column", "3", "--locality-column",
          "Town", "--state-column=st", "--problems-only", "--fix"},
         "",
         "check in=list.csv out=out.csv pc=3 lc=Town sc=st problems fix"},
        {{"check", "--", "-list.csv"}, "", "check in=-list.csv out= pc= lc= sc="},
        {{"check", "--no-header", "--postcode-column", "4", "--locality-column=2", "--state-column",
          "3", "--delimiter", "tab", "--encoding", "Windows-1252", "--quiet"},
         "",
         "check in=- out= pc=4 lc=2 sc=3 no-header delimiter=\t encoding=3 quiet"},
        {{"check", "--header-line", "3", "--delimiter=;", "--encoding", "utf-8-bom",
          "--summary-json", "-", "--output", "o.csv"},
         "",
         "check in=- out=o.csv pc= lc= sc= line=3 delimiter=; encoding=2 json=-"},
        {{"check", "--delimiter", "pipe", "--encoding=utf8", "--summary-json=s.json"},
         "",
         "check in=- out= pc= lc= sc= delimiter=| encoding=1 json=s.json"},
        {{"check", "--no-header", "--postcode-column", "4", "--locality-column", "Town",
          "--state-column", "3"},
         "--no-header needs --postcode-column, --locality-column and --state-column, each a "
         "column's number from 1",
         ""},
        {{"check", "--no-header", "--header-line", "2"},
         "--header-line and --no-header cannot go together",
         ""},
        {{"check", "--header-line", "0"}, "no line '0' (--header-line takes a line number", ""},
        {{"check", "--header-line", "x"}, "no line 'x'", ""},
        {{"check", "--delimiter", ":"}, "no delimiter ':'", ""},
        {{"check", "--encoding", "latin1"}, "no encoding 'latin1'", ""},
        {{"check", "--summary-json", "-"}, "--summary-json - writes to standard output", ""},
        {{"--help"}, "", "none help"},
        {{"find", "-h"}, "", "find help p= s= l= format=0"},
        {{"--version"}, "", "none version"},
        {{}, "no command given (the commands are find, check and import-data)", ""},
        {{"look"}, "unknown command 'look' (the commands are find, check and import-data)", ""},
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
        {{"import-data", "new.json", "--output=p.csv", "--against", "old.csv", "--report", "r.csv"},
         "",
         "import-data in=new.json out=p.csv against=old.csv report=r.csv"},
        {{"import-data", "--install", "--", "-new.csv"},
         "",
         "import-data in=-new.csv out= against= report= install"},
        {{"import-data"}, "import-data needs the file of the list to import", ""},
        {{"import-data", "a.csv", "b.csv"}, "unexpected argument 'b.csv' for import-data", ""},
        {{"import-data", "a.csv", "--install", "--output", "p.csv"},
         "--output and --install cannot be given together",
         ""},
        {{"--data", "d.csv", "import-data", "a.csv", "--install"},
         "--data cannot be given with --install",
         ""},
        {{"import-data", "a.csv", "--format", "csv"},
         "unknown option --format for import-data",
         ""},
        {{"--postcode", "4109", "find"},
         "unknown option --postcode (a command, find, check or import-data, comes first)",
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
    for (const char* option :
         {"--postcode-column", "--locality-column", "--state-column", "--output", "--problems-only",
          "--data", "--no-header", "--header-line", "--delimiter", "--encoding", "--summary-json",
          "--quiet", "--fix", "postal code", "p/code", "zip", "city", "state/territory",
          "windows-1252"}) {
        EXPECT_NE(HelpText(CliCommand::Check).find(option), std::string::npos) << option;
    }
    for (const char* option : {"--output", "--install", "--against", "--report", "--data"}) {
        EXPECT_NE(HelpText(CliCommand::ImportData).find(option), std::string::npos) << option;
    }
    EXPECT_EQ(VersionText(), std::string("korvallestin-cli ") + KORV_VERSION + "\n");
}

}  // namespace
}  // namespace korvallestin
