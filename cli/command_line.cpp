#include "command_line.h"

#include <array>
#include <cstddef>
#include <string_view>

#include "result_row_store.h"

namespace korvallestin {

namespace {

constexpr std::string_view kProgram = "korvallestin-cli";

std::string Simplified(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c == ' ' || c == '-' || c == '_') {
            continue;
        }
        out.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c);
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
                                       {"--problems-only", nullptr, &c.problems_only}});
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
            Fail("unknown option " + name + " (a command, find or check, comes first)");
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
            } else if (arg == "help") {
                Opts().help = true;
            } else {
                Fail("unknown command '" + arg + "' (the commands are find and check)");
            }
        } else if (Opts().command == CliCommand::Check && !input_given_) {
            Opts().check.input = arg;
            input_given_ = true;
        } else {
            Fail("unexpected argument '" + arg + "' for " + CommandName());
        }
    }

    std::string CommandName() const {
        return Opts().command == CliCommand::Find ? "find" : "check";
    }
    const CliOptions& Opts() const { return result_.options; }

    void Finish() {
        if (Opts().help || Opts().version) {
            return;
        }
        if (Opts().command == CliCommand::None) {
            Fail("no command given (the commands are find and check)");
            return;
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
            std::string wanted = format_;
            for (char& c : wanted) {
                c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
            }
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
    }

    const std::vector<std::string>& args_;
    std::size_t i_ = 0;
    ParsedCommandLine result_;
    std::string sort_;
    std::string format_;
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
    for (int i = 0; i < ResultRowStore::kColumns; ++i) {
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
                   "                         [--state-column C] [--output FILE]\n"
                   "                         [--problems-only] [--data FILE]\n"
                   "\n"
                   "Checks a CSV list of addresses (standard input when FILE is - or not\n"
                   "given): whether each row's locality is in its state with its postcode.\n"
                   "Writes every row with two more columns, verdict and suggestion. The\n"
                   "verdicts: ok, wrong-postcode, wrong-state, unknown-locality,\n"
                   "unknown-postcode, incomplete. A summary goes to standard error.\n"
                   "\n"
                   "  --postcode-column C  the postcode's column, by header name or number\n"
                   "                       (default: postcode, post code or pcode)\n"
                   "  --locality-column C  the locality's column (default: suburb, locality\n"
                   "                       or town)\n"
                   "  --state-column C     the state's column (default: state)\n"
                   "  --output FILE        write to FILE, replaced only when the check ends\n"
                   "                       (its permissions kept; through a link, the file\n"
                   "                       it leads to); a folder, pipe or device is refused\n"
                   "  --problems-only      write only the rows that are not ok\n"
                   "  --data FILE          the postcode file (default: postcodes.csv in the\n"
                   "                       program's folder)\n"
                   "\n"
                   "Exit status: 0 every row ok, 1 any row not ok, 2 an error, 141 the\n"
                   "reader of the output went away (a closed pipe, as in '| head').\n";
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
