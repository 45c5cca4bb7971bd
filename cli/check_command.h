#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "command_line.h"
#include "list_check.h"
#include "list_reader.h"
#include "locality_index.h"
#include "output.h"

namespace korvallestin {

// How the check learns the time and whether standard error is a terminal;
// tests give their own.
struct CheckEnvironment {
    std::function<double()> seconds;  // since any fixed start
    bool progress_on_terminal = false;
    // Standard input is a terminal: a list read from it is being typed.
    bool input_on_terminal = false;
};

// `check`, on the console: reads the list named in the options (or standard
// input through `in`, kept in a scratch file so that it can be read twice),
// drives a ListCheck through its steps and writes the rows with their
// verdicts to the output file or `out`, the column note and summary to `err`. Returns the exit
// status: 0 every row ok, 1 any not ok, 2 an error.
int RunCheck(const CliOptions& options, ByteSource& in, Output& out, Output& err,
             const CheckEnvironment& environment);

}  // namespace korvallestin
