#pragma once

#include <optional>
#include <string>

#include "command_line.h"
#include "matching.h"
#include "output.h"
#include "platform.h"

namespace korvallestin {

// The criteria as the window's boxes would hold them after the same text was
// typed into them, key by key: letters upper-cased in the state and locality;
// in the postcode only the characters the box takes. A character the postcode
// box refuses is named in `error` instead.
std::optional<SearchCriteria> ShapeCriteria(const FindOptions& options, std::string& error);

// Opens the postcode file for a command: `data_file`, or postcodes.csv in
// the program's folder when it is empty. On failure writes the window's
// causes in words to `err` and returns false.
class PostcodeFileReader;
bool OpenDataFile(const std::string& data_file, PostcodeFileReader& reader, std::string& path,
                  Output& err);
// The message for a record that could not be read, after `path`.
void ReportReadFailure(const std::string& path, const PostcodeFileReader& reader, Output& err);

// Opens a list to be read (an address list or a postcode list to import);
// false, with the reason written to `err`, when it cannot be.
bool OpenList(const std::string& path, ReadOnlyFile& file, Output& err);

// `find`: writes the matching records to `out` and returns the exit status
// (0 found, 1 none, 2 an error).
int RunFind(const CliOptions& options, Output& out, Output& err);

}  // namespace korvallestin
