#include "command_line.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "data_file.h"
#include "letter_case.h"

namespace korvallestin {

namespace {

constexpr std::string_view kProgram = "korvallestin-cli";

std::string Simplified(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c == ' ' || c == '-' || c == '_') {
            continue;
        }
        out.push_back(LowerAsciiLetter(c));
    }
    return out;
}

bool AllDigits(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// An option of one command: its name, and where its value goes (nullptr for
// a switch, whose flag is set instead).
struct OptionSlot {
    std::string_view name;
    std::string* value;
    bool* flag;
};

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& args) : args_(args) {}

    ParsedCommandLine Run() {
        bool options_ended = false;
        for (i_ = 0; i_ < args_.size() && result_.error.empty(); ++i_) {
            const std::string& arg = args_[i_];
            if (!options_ended && arg == "--") {
                options_ended = true;
            } else if (!options_ended && arg.size() > 1 && arg[0] == '-') {
                Option(arg);
            } else {
                Positional(arg);
            }
        }
        if (result_.error.empty()) {
            Finish();
        }
        return std::move(result_);
    }

  private:
    CliOptions& Opts() { return result_.options; }

    void Fail(std::string message) {
        if (result_.error.empty()) {
            result_.error = std::move(message);
        }
    }

    std::vector<OptionSlot> Slots() {
        std::vector<OptionSlot> slots{{"--data", &Opts().data_file, nullptr},
                                      {"--help", nullptr, &Opts().help},
                                      {"-h", nullptr, &Opts().help},
                                      {"--version", nullptr, &Opts().version}};
        FindOptions& f = Opts().find;
        CheckOptions& c = Opts().check;
        if (Opts().command == CliCommand::Find) {
            slots.insert(slots.end(), {{"--postcode", &f.postcode, nullptr},
                                       {"--state", &f.state, nullptr},
                                       {"--locality", &f.locality, nullptr},
                                       {"--contains", nullptr, &f.contains},
                                       {"--sort", &sort_, nullptr},
                                       {"--descending", nullptr, &f.descending},
                                       {"--format", &format_, nullptr}});
        } else if (Opts().command == CliCommand::Check) {
            slots.insert(slots.end(), {{"--postcode-column", &c.postcode_column, nullptr},
                                       {"--locality-column", &c.locality_column, nullptr},
                                       {"--state-column", &c.state_column, nullptr},
                                       {"--output", &c.output, nullptr},
                                       {"--problems-only", nullptr, &c.problems_only},
                                       {"--fix", nullptr, &c.fix},
                                       {"--no-header", nullptr, &c.no_header},
                                       {"--header-line", &header_line_, nullptr},
                                       {"--delimiter", &delimiter_, nullptr},
                                       {"--encoding", &encoding_, nullptr},
                                       {"--summary-json", &c.summary_json, nullptr},
                                       {"--quiet", nullptr, &c.quiet}});
        } else if (Opts().command == CliCommand::ImportData) {
            ImportOptions& d = Opts().import_data;
            slots.insert(slots.end(), {{"--output", &d.output, nullptr},
                                       {"--install", nullptr, &d.install},
                                       {"--against", &d.against, nullptr},
                                       {"--report", &d.report, nullptr}});
        }
        return slots;
    }

    void Option(const std::string& arg) {
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        for (const OptionSlot& slot : Slots()) {
            if (slot.name != name) {
                continue;
            }
            if (slot.flag != nullptr) {
                if (equals != std::string::npos) {
                    Fail("option " + name + " takes no value");
                }
                *slot.flag = true;
            } else if (equals != std::string::npos) {
                *slot.value = arg.substr(equals + 1);
            } else if (i_ + 1 < args_.size()) {
                *slot.value = args_[++i_];
            } else {
                Fail("option " + name + " needs a value");
            }
            return;
        }
        if (Opts().command == CliCommand::None) {
            Fail("unknown option " + name +
                 " (a command, find, check or import-data, comes first)");
        } else {
            Fail("unknown option " + name + " for " + CommandName());
        }
    }

    void Positional(const std::string& arg) {
        if (Opts().command == CliCommand::None) {
            if (arg == "find") {
                Opts().command = CliCommand::Find;
            } else if (arg == "check") {
                Opts().command = CliCommand::Check;
            } else if (arg == "import-data") {
                Opts().command = CliCommand::ImportData;
            } else if (arg == "help") {
                Opts().help = true;
            } else {
                Fail("unknown command '" + arg +
                     "' (the commands are find, check and import-data)");
            }
        } else if (Opts().command == CliCommand::Check && !input_given_) {
            Opts().check.input = arg;
            input_given_ = true;
        } else if (Opts().command == CliCommand::ImportData && !input_given_) {
            Opts().import_data.input = arg;
            input_given_ = true;
        } else {
            Fail("unexpected argument '" + arg + "' for " + CommandName());
        }
    }

    std::string CommandName() const {
        switch (Opts().command) {
            case CliCommand::Find:
                return "find";
            case CliCommand::ImportData:
                return "import-data";
            default:
                return "check";
        }
    }
    const CliOptions& Opts() const { return result_.options; }

    void Finish() {
        if (Opts().help || Opts().version) {
            return;
        }
        if (Opts().command == CliCommand::None) {
            Fail("no command given (the commands are find, check and import-data)");
            return;
        }
        const ImportOptions& d = Opts().import_data;
        if (Opts().command == CliCommand::ImportData) {
            if (!input_given_ || d.input.empty()) {
                Fail("import-data needs the file of the list to import");
            } else if (d.install && !d.output.empty()) {
                Fail("--output and --install cannot be given together");
            } else if (d.install && !Opts().data_file.empty()) {
                Fail(
                    "--data cannot be given with --install, which replaces the programs' own "
                    "postcodes.csv (compare with another file with --against)");
            }
        }
        FindOptions& f = Opts().find;
        if (!sort_.empty()) {
            f.sort_column = ColumnByName(sort_);
            if (!f.sort_column) {
                Fail("no column '" + sort_ +
                     "' to sort by (a number from 1 to 9 or a heading, such as locality)");
            }
        }
        if (!format_.empty()) {
            static constexpr std::array<std::pair<std::string_view, RowFormat>, 4> kFormats{{
                {"text", RowFormat::Text},
                {"csv", RowFormat::Csv},
                {"tsv", RowFormat::Tsv},
                {"json", RowFormat::Json},
            }};
            // In any letter case, as --sort takes its column's heading.
            const std::string wanted = LowerAscii(format_);
            bool known = false;
            for (const auto& [name, format] : kFormats) {
                if (wanted == name) {
                    f.format = format;
                    known = true;
                }
            }
            if (!known) {
                Fail("no format '" + format_ + "' (the formats are text, csv, tsv and json)");
            }
        }
        if (f.descending && !f.sort_column && Opts().command == CliCommand::Find) {
            Fail("--descending needs --sort COLUMN");
        }
        if (Opts().command == CliCommand::Check) {
            FinishCheck();
        }
    }

    // The check's options that take a value of a fixed kind, and those that
    // go only together.
    void FinishCheck() {
        CheckOptions& c = Opts().check;
        if (!header_line_.empty()) {
            if (!AllDigits(header_line_) || header_line_.size() > 9 ||
                std::stol(header_line_) < 1) {
                Fail("no line '" + header_line_ + "' (--header-line takes a line number from 1)");
                return;
            }
            c.header_line = std::stol(header_line_);
            if (c.no_header) {
                Fail("--header-line and --no-header cannot go together");
                return;
            }
        }
        if (!delimiter_.empty()) {
            static constexpr std::array<std::pair<std::string_view, char>, 8> kDelimiters{{
                {",", ','},
                {"comma", ','},
                {";", ';'},
                {"semicolon", ';'},
                {"\t", '\t'},
                {"tab", '\t'},
                {"|", '|'},
                {"pipe", '|'},
            }};
            for (const auto& [name, delimiter] : kDelimiters) {
                if (Simplified(delimiter_) == name || delimiter_ == name) {
                    c.delimiter = delimiter;
                }
            }
            if (c.delimiter == 0) {
                Fail("no delimiter '" + delimiter_ +
                     "' (the delimiters are comma, semicolon, tab and pipe, or , ; |)");
                return;
            }
        }
        if (!encoding_.empty()) {
            static constexpr std::array<std::pair<std::string_view, ListOutputEncoding>, 4>
                kEncodings{{
                    {"same", ListOutputEncoding::Same},
                    {"utf8", ListOutputEncoding::Utf8},
                    {"utf8bom", ListOutputEncoding::Utf8WithBom},
                    {"windows1252", ListOutputEncoding::Windows1252},
                }};
            bool known = false;
            for (const auto& [name, encoding] : kEncodings) {
                if (Simplified(encoding_) == name) {
                    c.encoding = encoding;
                    known = true;
                }
            }
            if (!known) {
                Fail("no encoding '" + encoding_ +
                     "' (the encodings are same, utf-8, utf-8-bom and windows-1252)");
                return;
            }
        }
        if (c.no_header) {
            for (const std::string* column :
                 {&c.postcode_column, &c.locality_column, &c.state_column}) {
                if (!AllDigits(*column)) {
                    Fail(
                        "--no-header needs --postcode-column, --locality-column and "
                        "--state-column, each a column's number from 1");
                    return;
                }
            }
        }
        if (c.summary_json == "-" && c.output.empty()) {
            Fail(
                "--summary-json - writes to standard output, where the rows go: give "
                "--output FILE too, or a file for the summary");
        }
    }

    const std::vector<std::string>& args_;
    std::size_t i_ = 0;
    ParsedCommandLine result_;
    std::string sort_;
    std::string format_;
    std::string header_line_;
    std::string delimiter_;
    std::string encoding_;
    bool input_given_ = false;
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    return Parser(args).Run();
}

std::optional<int> ColumnByName(const std::string& name) {
    if (AllDigits(name)) {
        if (name.size() == 1 && name[0] >= '1' && name[0] <= '9') {
            return name[0] - '1';
        }
        return std::nullopt;
    }
    const std::string wanted = Simplified(name);
    for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
        if (!wanted.empty() && Simplified(kColumnHeadings[static_cast<std::size_t>(i)]) == wanted) {
            return i;
        }
    }
    return std::nullopt;
}

std::string HelpText(CliCommand command) {
    const std::string program(kProgram);
    switch (command) {
        case CliCommand::Find:
            return "Usage: " + program +
                   " find [--postcode P] [--state S] [--locality L] [--contains]\n"
                   "                        [--sort COLUMN] [--descending]\n"
                   "                        [--format text|csv|tsv|json] [--data FILE]\n"
                   "\n"
                   "Lists the records of the postcode file that match every criterion given,\n"
                   "as the window finds them for the same typed criteria. Letters are\n"
                   "upper-cased as the window's boxes upper-case them as they are typed.\n"
                   "\n"
                   "  --postcode P     the postcode, exactly (digits and the full stop)\n"
                   "  --state S        the state, exactly (QLD, NSW, ...)\n"
                   "  --locality L     localities that begin with L\n"
                   "  --contains       localities that contain L anywhere\n"
                   "  --sort COLUMN    the window's sort order by a column, given by number\n"
                   "                   (1 to 9) or heading (postcode, locality, state,\n"
                   "                   comments, delivery-office, presort-indicator,\n"
                   "                   parcel-zone, bsp-number, bsp-name); without it rows\n"
                   "                   are written in file order as they are found\n"
                   "  --descending     sort downwards\n"
                   "  --format F       text (aligned for 80 columns, the default), csv,\n"
                   "                   tsv or json, in any letter case\n"
                   "  --data FILE      the postcode file (default: postcodes.csv in the\n"
                   "                   program's folder)\n"
                   "\n"
                   "Exit status: 0 records found, 1 none found, 2 an error, 141 the reader\n"
                   "of the output went away (a closed pipe, as in '| head').\n";
        case CliCommand::Check:
            return "Usage: " + program +
                   " check [FILE|-] [--postcode-column C] [--locality-column C]\n"
                   "                         [--state-column C] [--no-header]\n"
                   "                         [--header-line N] [--delimiter D]\n"
                   "                         [--encoding E] [--output FILE]\n"
                   "                         [--problems-only] [--fix]\n"
                   "                         [--summary-json FILE] [--quiet] [--data FILE]\n"
                   "\n"
                   "Checks a CSV list of addresses (standard input when FILE is - or not\n"
                   "given): whether each row's locality is in its state with its postcode.\n"
                   "Writes every row whole, with two more columns, verdict and suggestion,\n"
                   "at the same place in every row (replaced, not added again, when the\n"
                   "list already ends in them). The verdicts: ok, wrong-postcode,\n"
                   "wrong-state, wrong-state-and-postcode, unknown-locality,\n"
                   "unknown-postcode, postcode-as-number (800 for 0800), incomplete, and\n"
                   "with --fix, fixed. Blank rows are written as they are, without a\n"
                   "verdict. A note of the columns used and a summary go to standard\n"
                   "error.\n"
                   "\n"
                   "  --postcode-column C  the postcode's column, by heading or number\n"
                   "                       (default: postcode, post code, pcode, p/code,\n"
                   "                       postal code, zip, zip code or zipcode)\n"
                   "  --locality-column C  the locality's column (default: suburb,\n"
                   "                       locality, town, city, suburb/town, town/city,\n"
                   "                       city/town, town/suburb or suburb/locality)\n"
                   "  --state-column C     the state's column (default: state or\n"
                   "                       state/territory)\n"
                   "                       Headings match in any letter case, with\n"
                   "                       spaces, underscores or no-break spaces around.\n"
                   "  --no-header          the list has no header: every line is a row,\n"
                   "                       and the three columns are given by number\n"
                   "  --header-line N      the header is line N; the lines above it are\n"
                   "                       titles, written back as they are\n"
                   "  --delimiter D        comma, semicolon, tab or pipe (default: the\n"
                   "                       one the header line holds most of)\n"
                   "  --encoding E         write the list in same (its own encoding, the\n"
                   "                       default), utf-8, utf-8-bom or windows-1252\n"
                   "  --output FILE        write to FILE, replaced only when the check ends\n"
                   "                       (its permissions kept; through a link, the file\n"
                   "                       it leads to); a folder, pipe or device is refused\n"
                   "  --problems-only      write only the rows that are not ok\n"
                   "  --fix                correct the rows whose correction is sure (a\n"
                   "                       postcode kept as a number, a typographic\n"
                   "                       apostrophe, one letter off the only locality\n"
                   "                       with that state and postcode, the only state\n"
                   "                       with that locality and postcode): their cells\n"
                   "                       are replaced, the verdict is fixed and the\n"
                   "                       suggestion says what was there before\n"
                   "  --summary-json FILE  write the summary as JSON to FILE (- for\n"
                   "                       standard output, with --output)\n"
                   "  --quiet              no column note, progress or summary\n"
                   "  --data FILE          the postcode file (default: postcodes.csv in the\n"
                   "                       program's folder)\n"
                   "\n"
                   "Exit status: 0 every row ok (or fixed), 1 any other, 2 an error, 141\n"
                   "the reader of the output went away (a closed pipe, as in '| head').\n";
        case CliCommand::ImportData:
            return "Usage: " + program +
                   " import-data FILE [--output FILE | --install] [--against FILE]\n"
                   "                               [--report FILE] [--data FILE]\n"
                   "\n"
                   "Makes a newer postcode list into the postcode file the programs read,\n"
                   "and reports what it leaves out and how it differs from the file in\n"
                   "use. FILE is the open list's CSV (as published, or saved from its\n"
                   "spreadsheet) or JSON, or Australia Post's postcode file, told apart\n"
                   "by their headings. Records marked removed, records that cannot be\n"
                   "right and exact duplicates are left out and listed. Without --output\n"
                   "or --install nothing is written.\n"
                   "\n"
                   "  --output FILE    write the postcode file to FILE, replaced only when\n"
                   "                   it is written whole\n"
                   "  --install        put it in place of the programs' own postcodes.csv,\n"
                   "                   keeping that as postcodes.previous.csv beside it\n"
                   "  --against FILE   compare with FILE (default: the file in use)\n"
                   "  --report FILE    write the report as CSV to FILE too\n"
                   "  --data FILE      the file in use (default: postcodes.csv in the\n"
                   "                   program's folder)\n"
                   "\n"
                   "Exit status: 0 imported, 2 an error (nothing written), 141 the reader of\n"
                   "the report went away (a closed pipe).\n";
        case CliCommand::None:
            break;
    }
    return "Usage: " + program +
           " [--data FILE] COMMAND [OPTIONS]\n"
           "\n"
           "Looks up Australian postcodes and checks address lists against the\n"
           "postcode file, with the same matching as the Korvallestin window.\n"
           "\n"
           "Commands:\n"
           "  find     list the records that match a postcode, state and locality\n"
           "  check    check a CSV list of addresses, row by row\n"
           "  import-data  make a newer postcode list into the postcode file\n"
           "\n"
           "Options:\n"
           "  --data FILE   the postcode file (default: postcodes.csv in the\n"
           "                program's folder); it is only ever read\n"
           "  -h, --help    this help; " +
           program +
           " COMMAND --help for a command's\n"
           "  --version     the program's version\n"
           "\n"
           "Exit status: 0 success, 1 nothing found or a row not ok, 2 an error,\n"
           "141 the reader of the output went away (a closed pipe).\n";
}

std::string VersionText() {
    return std::string(kProgram) + " " + KORV_VERSION + "\n";
}

}  // namespace korvallestin
