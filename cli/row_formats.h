#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "data_file.h"
#include "output.h"

namespace korvallestin {

// Writes records one at a time in one of the output formats: the headings
// (or the opening of the JSON array) first, each row as it comes, and the
// close at the end. Text is UTF-8 in every format.
class RowWriter {
  public:
    virtual ~RowWriter() = default;
    virtual bool Begin() = 0;
    virtual bool Row(const std::vector<std::string_view>& fields) = 0;
    virtual bool End() = 0;
};

std::unique_ptr<RowWriter> MakeRowWriter(RowFormat format, Output& out);

// One field as RFC 4180 writes it: in double quotes, with its quotes doubled,
// when it holds the delimiter, a quote or a line end.
void AppendCsvField(std::string_view field, char delimiter, std::string& out);

// The text cut to `width` columns (one column a character), its last column
// an ellipsis when it is cut, padded with spaces to `width` when `pad`.
std::string FitToColumns(std::string_view text, std::size_t width, bool pad);

// The text format's column widths, for 80 columns with a space between.
inline constexpr std::size_t kTextWidths[PostcodeRecord::kFieldCount] = {8, 16, 5, 7, 14,
                                                                         5, 6,  5, 5};

}  // namespace korvallestin
