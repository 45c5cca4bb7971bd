#pragma once

#include <optional>
#include <string>
#include <vector>

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

// The encoding a checked list is written in: the list's own (UTF-8 with or
// without its byte order mark, or Windows-1252), or the one asked for.
enum class ListOutputEncoding { Same, Utf8, Utf8WithBom, Windows1252 };

struct CheckOptions {
    std::string input = "-";  // a file name, or "-" for standard input
    std::string postcode_column;
    std::string locality_column;
    std::string state_column;
    std::string output;  // empty: standard output
    bool problems_only = false;
    bool fix = false;        // replace the cells of rows whose correction is sure
    bool no_header = false;  // every line a row; the columns given by number
    long header_line = 1;    // the line the header stands on; lines above are titles
    char delimiter = 0;      // 0: the one the header line holds most of
    ListOutputEncoding encoding = ListOutputEncoding::Same;
    std::string summary_json;  // empty: none; "-": standard output (with --output)
    bool quiet = false;        // no summary, column note or progress on standard error
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
