#pragma once

#include <string>

#include "command_line.h"
#include "output.h"

namespace korvallestin {

// `import-data`: reads a newer postcode list, writes it as the postcode file
// (to --output, or with --install in place of the file of the programs in
// `program_folder`), and writes the report to `out` (and --report). Returns
// the exit status: 0 imported, 2 an error, in which case nothing was
// written.
int RunImportData(const CliOptions& options, const std::string& program_folder, Output& out,
                  Output& err);

}  // namespace korvallestin
