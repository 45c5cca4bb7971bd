#pragma once

#include <string>

namespace korvallestin {

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

}  // namespace korvallestin
