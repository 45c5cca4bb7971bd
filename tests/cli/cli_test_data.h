#pragma once

// A small postcode file and a way to run the console program's commands on
// it in-process, for the console program's tests.

#include <array>
#include <string>
#include <vector>

#include "check_command.h"
#include "command_line.h"
#include "csv_data.h"
#include "list_reader.h"
#include "output.h"
#include "temp_dir.h"

namespace korvallestin::testing {

// Hand-made records: one locality under two postcodes, one name in several
// states, MOUNT and SAINT in full and short, a postcode with a leading zero.
inline std::string SmallPostcodeFile() {
    std::string data = kCsvHeader;
    for (const auto& [postcode, locality, state] :
         std::vector<std::array<std::string, 3>>{{"4109", "SUNNYBANK", "QLD"},
                                                 {"4109", "SUNNYBANK HILLS", "QLD"},
                                                 {"2000", "SYDNEY", "NSW"},
                                                 {"2001", "SYDNEY", "NSW"},
                                                 {"2640", "ALBURY", "NSW"},
                                                 {"3000", "MELBOURNE", "VIC"},
                                                 {"3207", "PORT MELBOURNE", "VIC"},
                                                 {"4825", "MOUNT ISA", "QLD"},
                                                 {"3182", "ST KILDA", "VIC"},
                                                 {"5068", "SAINT MORRIS", "SA"},
                                                 {"2753", "RICHMOND", "NSW"},
                                                 {"3121", "RICHMOND", "VIC"},
                                                 {"4822", "RICHMOND", "QLD"},
                                                 {"5033", "RICHMOND", "SA"},
                                                 {"7025", "RICHMOND", "TAS"},
                                                 {"6000", "PERTH", "WA"},
                                                 {"0800", "DARWIN", "NT"}}) {
        data += CsvRecord(postcode, locality, state);
    }
    return data;
}

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs `check` with the data file and options given; `list` comes in on
// standard input unless options.check.input names a file.
inline CommandRun RunCheckOn(CliOptions options, const std::string& list) {
    StringSource in(list);
    StringOutput out;
    StringOutput err;
    options.command = CliCommand::Check;
    CommandRun run;
    run.status = RunCheck(options, in, out, err, {});
    run.out = out.Text();
    run.err = err.Text();
    return run;
}

}  // namespace korvallestin::testing
