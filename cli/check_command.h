#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "command_line.h"
#include "list_reader.h"
#include "locality_index.h"
#include "output.h"

namespace korvallestin {

// A column of the list by its header: `given` when the user named it (a
// header, letter case aside, or a number from 1), else the first header that
// is one of `usual`. -1 when there is none.
int FindColumn(const std::vector<std::string>& headers, const std::string& given,
               const std::vector<std::string>& usual);

// What a check writes to standard error besides errors: a progress line
// while it runs (on a terminal, for a check that lasts over a second) and the
// summary at the end.
struct CheckCounts {
    std::size_t rows = 0;
    std::array<std::size_t, kVerdictCount> verdicts{};
};
std::string Summary(const CheckCounts& counts, double seconds);

// How the check learns the time and whether standard error is a terminal;
// tests give their own.
struct CheckEnvironment {
    std::function<double()> seconds;  // since any fixed start
    bool progress_on_terminal = false;
};

// `check`: reads the list named in the options (or standard input through
// `in`), checks each row against the index and writes the rows with their
// verdicts to the output file or `out`. Returns the exit status: 0 every row
// ok, 1 any not ok, 2 an error.
int RunCheck(const CliOptions& options, ByteSource& in, Output& out, Output& err,
             const CheckEnvironment& environment);

}  // namespace korvallestin
