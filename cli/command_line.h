#pragma once

#include <optional>
#include <string>
#include <vector>

#include "check_options.h"

namespace korvallestin {

enum class CliCommand { None, Find, Check, ImportData };
enum class RowFormat { Text, Csv, Tsv, Json };

struct FindOptions {
    std::string postcode;
    std::string state;
    std::string locality;
    bool contains = false;
    std::optional<int> sort_column;  // 0 to 8, the nine columns in file order
    bool descending = false;
    RowFormat format = RowFormat::Text;
};

// import-data: a newer postcode list made into the postcode file.
struct ImportOptions {
    std::string input;     // the list to import
    std::string output;    // write the postcode file here; empty: nowhere
    bool install = false;  // put it in place of the programs' own file
    std::string against;   // compare with this file; empty: the file in use
    std::string report;    // write the report here too, as CSV; empty: no
};

struct CliOptions {
    CliCommand command = CliCommand::None;
    std::string data_file;  // empty: postcodes.csv in the program's folder
    bool help = false;
    bool version = false;
    FindOptions find;
    CheckOptions check;
    ImportOptions import_data;
};

// The command line read, or why it cannot be: `error` is one sentence for
// standard error, and the program then ends with status 2.
struct ParsedCommandLine {
    CliOptions options;
    std::string error;
};

// Reads the arguments after the program's name. Options take their value as
// the next argument or after "=" (--state=QLD); "--" ends the options.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The help for one command, or for the program when `command` is None.
std::string HelpText(CliCommand command);
std::string VersionText();

// A column by number (1 to 9) or by its heading, letter case, spaces,
// dashes and underscores aside ("delivery-office", "BSP Name"): 0 to 8, or
// nothing when no column has that name.
std::optional<int> ColumnByName(const std::string& name);

}  // namespace korvallestin
