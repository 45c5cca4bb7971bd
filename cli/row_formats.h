#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "command_line.h"
#include "data_file.h"
#include "output.h"

namespace korvallestin {

// Writes records one at a time in one of the output formats: the headings
// (or the opening of the JSON array) first, each row as it comes, and the
// close at the end. Text is UTF-8 in every format. Rows are gathered into
// blocks of whole rows and written a block at a time, or a row at a time when
// the output asks for lines as they come; End writes what is left. A failed
// write shows in the answer of the Row or End that wrote the block.
class RowWriter {
  public:
    virtual ~RowWriter() = default;
    virtual bool Begin() = 0;
    virtual bool Row(std::span<const std::string_view> fields) = 0;
    virtual bool End() = 0;
};

std::unique_ptr<RowWriter> MakeRowWriter(RowFormat format, Output& out);

// Appends the text cut to `width` columns (one column a character, `width` at
// least 1), its last column an ellipsis when it is cut, padded with spaces to
// `width` when `pad`. A tab or line end in the text becomes a space.
void AppendFitted(std::string_view text, std::size_t width, bool pad, std::string& out);

// The text format's column widths, for 80 columns with a space between.
inline constexpr std::size_t kTextWidths[PostcodeRecord::kFieldCount] = {8, 16, 5, 7, 14,
                                                                         5, 6,  5, 5};

}  // namespace korvallestin
