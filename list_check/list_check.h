#pragma once

// Checking an address list in steps, so that the console and a window can
// drive the same check: measure the list, find its columns, write its head,
// check rows a batch at a time (or cancel), then sum up.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "check_options.h"
#include "list_reader.h"
#include "locality_index.h"
#include "output.h"

namespace korvallestin {

// What a check counts, for the summary.
struct CheckCounts {
    static constexpr std::size_t kShownLines = 5;

    std::size_t rows = 0;  // rows given a verdict
    std::array<std::size_t, kVerdictCount> verdicts{};
    // Rows whose every field is empty (or holds only spaces), and a Ctrl-Z at
    // the end: written as they are, with no verdict; not problems.
    std::size_t blank_rows = 0;
    // Rows of another number of fields than the header, and the first lines.
    std::size_t other_width_rows = 0;
    std::vector<long> other_width_lines;
    std::size_t header_width = 0;
};

// The summary for standard error: the verdicts' counts on one line, then a
// line for rows of another width and one for blank rows, when there are any.
std::string Summary(const CheckCounts& counts, double seconds);

// A column the check reads: its index from 0 (-1 when none) and heading.
struct ListColumn {
    int index = -1;
    std::string heading;
};
struct ListColumns {
    ListColumn postcode;
    ListColumn locality;
    ListColumn state;
};

// A heading as compared with the usual names: letters a to z in lower case,
// spaces, underscores and non-breaking spaces at either end dropped and
// between words made one space, and no space around a slash.
std::string NormalizedHeading(std::string_view heading);

// Finds the postcode, locality and state columns among the headings (none
// with no header: `width` columns, each given by number): each as given (a
// heading or a number from 1), else the one heading that is among its usual
// names. False with the reason, a sentence about "The list", in `error`:
// a column missing, or two that could be the same one.
bool FindListColumns(const std::vector<std::string>& headings, std::size_t width,
                     const CheckOptions& options, ListColumns& columns, std::string& error);

// "Checking the locality in column 2 (Suburb), ...": for standard error.
std::string DescribeColumns(const ListColumns& columns);

// The names of encodings in messages and the summary: utf-8, utf-8-bom,
// windows-1252.
std::string_view EncodingName(ListOutputEncoding encoding);

class ListCheck {
  public:
    ListCheck(const LocalityIndex& index, const CheckOptions& options);

    // 1. Reads the list through once, checking nothing: how it is encoded
    // (decided once for the whole list: Windows-1252 when any field is not
    // UTF-8) and the widest row, so that the added columns stand at one place
    // in every row.
    void Measure(ByteSource& list);
    // 2. Reads the same list again from its start up to its first row and
    // finds the columns. False when the list cannot be read (ListFailed) or
    // its columns cannot be found (ColumnError).
    bool FindColumns(ByteSource& list);
    const ListColumns& Columns() const { return columns_; }
    const std::string& ColumnError() const { return column_error_; }
    // The encoding the checked list is written in.
    ListOutputEncoding Encoding() const { return encoding_; }

    // 3. Writes the title lines and the header, with the added columns.
    bool WriteHead(Output& sink);
    // 4. Checks up to `count` rows and writes them. False when there is no
    // more to check: the list has ended or failed, the check was cancelled
    // or the output failed; true when rows may be left.
    bool CheckRows(std::size_t count, Output& sink);
    void Cancel() { cancelled_ = true; }

    // 5. What came of it.
    const CheckCounts& Counts() const { return counts_; }
    // Why the list could not be read to its end (Kind::None when it was).
    const ListFailure& ListFailed() const;
    bool OutputFailed() const { return output_failed_; }
    // A character the output's encoding has no byte for, as a sentence, or
    // empty.
    const std::string& EncodingRefusal() const { return refusal_; }
    // 0 every row ok, 1 any row not ok.
    int Status() const;

  private:
    std::size_t WidthWithoutOldColumns(std::size_t width) const;
    void DropOldColumns(std::vector<std::string>& fields) const;
    bool Emit(Output& sink, long line);
    void AppendRow(const std::vector<std::string>& fields, std::size_t pad_to);

    const LocalityIndex& index_;
    const CheckOptions& options_;
    // From the measure.
    ListFailure measure_failure_;
    bool measured_bom_ = false;
    bool measured_non_utf8_ = false;
    std::size_t widest_ = 0;
    // From the header.
    std::unique_ptr<ListReader> reader_;
    std::vector<std::string> headings_;
    std::size_t header_width_ = 0;  // the list's own columns, the added ones aside
    bool had_added_columns_ = false;
    std::size_t added_at_ = 0;  // where the added columns stand in every row
    ListColumns columns_;
    std::string column_error_;
    ListOutputEncoding encoding_ = ListOutputEncoding::Utf8;
    // While checking.
    std::vector<std::string> fields_;
    std::string line_;
    std::string encoded_;
    CheckCounts counts_;
    bool done_ = false;
    bool cancelled_ = false;
    bool output_failed_ = false;
    std::string refusal_;
};

}  // namespace korvallestin
