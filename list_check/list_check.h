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

// A row that is blank (every field empty or spaces) or the end mark: kept as
// it is, with no verdict.
bool IsBlankRow(const std::vector<std::string>& fields);

// What becomes of each row a check reads: written out by the console, held
// by a window. False stops the check.
class RowSink {
  public:
    virtual ~RowSink() = default;
    // A row given a verdict (Fixed when a sure fix was made in its fields),
    // its old verdict and suggestion columns dropped.
    virtual bool CheckedRow(const std::vector<std::string>& fields, long line, Verdict verdict,
                            std::string_view suggestion) = 0;
    // A blank row, or the end mark, as it was read.
    virtual bool BlankRow(const std::vector<std::string>& fields, long line) = 0;
};

// How a checked list is written: the list's own encoding, delimiter and line
// end, and where the verdict and suggestion columns stand in every row.
struct ListFormat {
    ListOutputEncoding encoding = ListOutputEncoding::Utf8;
    char delimiter = ',';
    std::string line_end = "\r\n";
    std::size_t added_at = 0;
    bool check_columns = true;  // false: the rows as they are, no columns added
};

// Writes a checked list: its title lines and header, then each row, in the
// format's encoding. A character Windows-1252 has no byte for stops it, as
// does a failed write.
class ListWriter final : public RowSink {
  public:
    ListWriter(Output& out, ListFormat format, bool problems_only = false);

    // The byte order mark when there is one, the title lines, and the
    // header (none when `headings` is null), with the added columns.
    bool Head(const std::vector<std::string>& titles, const std::vector<std::string>* headings);
    bool CheckedRow(const std::vector<std::string>& fields, long line, Verdict verdict,
                    std::string_view suggestion) override;
    bool BlankRow(const std::vector<std::string>& fields, long line) override;

    bool Failed() const { return failed_; }
    // "Line 4 holds 'x', which Windows-1252 has no byte for", or empty.
    const std::string& Refusal() const { return refusal_; }

  private:
    void AppendRow(const std::vector<std::string>& fields, std::size_t pad_to);
    bool Emit(long line);

    Output& out_;
    ListFormat format_;
    bool problems_only_;
    std::string line_;
    std::string encoded_;
    bool failed_ = false;
    std::string refusal_;
};

// A row's verdict and suggestion from the index: the row's fields in the
// three columns (empty past its end).
struct RowCheck {
    CheckResult result;
    std::string suggestion;
};
RowCheck CheckFields(const LocalityIndex& index, const ListColumns& columns,
                     const std::vector<std::string>& fields);
// Makes the sure fix of a checked row in its fields, when there is one: the
// verdict becomes Fixed and the suggestion what was there. False when there
// is none.
bool MakeSureFix(const LocalityIndex& index, const ListColumns& columns,
                 std::vector<std::string>& fields, RowCheck& row);

class ListCheck {
  public:
    ListCheck(const LocalityIndex& index, const CheckOptions& options);

    // 1. Reads the list through once, checking nothing: how it is encoded
    // (decided once for the whole list: Windows-1252 when any field is not
    // UTF-8) and the widest row, so that the added columns stand at one place
    // in every row. Measure does it whole; StartMeasure and MeasureRows a
    // bounded step at a time (MeasureRows is false once it is done).
    void Measure(ByteSource& list);
    void StartMeasure(ByteSource& list);
    bool MeasureRows(std::size_t count);
    // 2. Reads the same list again from its start up to its first row and
    // finds the columns. False when the list cannot be read (ListFailed) or
    // its columns cannot be found (ColumnError). Without a measure first, the
    // list is read once only: each field as UTF-8, else as Windows-1252, the
    // widest row known only at the end (see SawNonUtf8).
    bool FindColumns(ByteSource& list);
    // Columns picked by a person when FindColumns could not find them.
    void UseColumns(const ListColumns& columns);
    const ListColumns& Columns() const { return columns_; }
    const std::string& ColumnError() const { return column_error_; }
    // The encoding the checked list is written in.
    ListOutputEncoding Encoding() const;
    // The list as read: title lines, header (cut to the list's own columns),
    // delimiter and line end, and how it is written back.
    const std::vector<std::string>& TitleLines() const { return titles_; }
    const std::vector<std::string>& Headings() const { return headings_; }
    std::size_t HeaderWidth() const { return header_width_; }
    std::size_t Widest() const { return widest_; }
    char Delimiter() const;
    std::string_view LineEnd() const;
    ListFormat Format() const;

    // 3. Writes the title lines and the header, with the added columns.
    bool WriteHead(Output& sink);
    // 4. Checks up to `count` rows and hands them to `sink` (or writes them
    // to the output of WriteHead). False when there is no more to check: the
    // list has ended or failed, the check was cancelled or the sink stopped;
    // true when rows may be left.
    bool CheckRows(std::size_t count, RowSink& sink);
    bool CheckRows(std::size_t count, Output& sink);
    void Cancel() { cancelled_ = true; }
    bool Cancelled() const { return cancelled_; }
    // The fields of the last row handed on that held UTF-8 beyond ASCII.
    const std::vector<std::size_t>& Utf8Fields() const { return utf8_fields_; }
    // Read once only: whether some field was not UTF-8 (and the list has no
    // byte order mark), so that the whole list is Windows-1252 as a measure
    // would have found; then the fields of Utf8Fields were read wrongly.
    bool SawNonUtf8() const;
    // Makes the title lines and headings that were read as UTF-8 Windows-1252
    // text instead. (The columns stay: the usual names are ASCII.)
    void RereadHeadAsWindows1252();

    // 5. What came of it.
    const CheckCounts& Counts() const { return counts_; }
    // Why the list could not be read to its end (Kind::None when it was).
    const ListFailure& ListFailed() const;
    bool OutputFailed() const { return writer_ && writer_->Failed(); }
    // A character the output's encoding has no byte for, as a sentence, or
    // empty.
    const std::string& EncodingRefusal() const { return refusal_; }
    // 0 every row ok, 1 any row not ok.
    int Status() const;

  private:
    std::size_t WidthWithoutOldColumns(std::size_t width) const;
    void DropOldColumns(std::vector<std::string>& fields);
    void NoteHeader(const std::vector<std::string>& fields);
    void EndMeasure();

    const LocalityIndex& index_;
    const CheckOptions& options_;
    // From the measure.
    std::unique_ptr<ListReader> measure_reader_;
    std::vector<std::string> measure_fields_;
    bool measure_first_ = true;
    bool measured_ = false;
    ListFailure measure_failure_;
    bool measured_bom_ = false;
    bool measured_non_utf8_ = false;
    std::size_t widest_ = 0;
    // From the header.
    std::unique_ptr<ListReader> reader_;
    std::vector<std::string> titles_;
    std::vector<std::string> headings_;
    std::vector<std::size_t> utf8_headings_;
    std::size_t header_width_ = 0;  // the list's own columns, the added ones aside
    bool had_added_columns_ = false;
    bool width_known_ = false;
    ListColumns columns_;
    std::string column_error_;
    // While checking.
    std::vector<std::string> fields_;
    std::vector<std::size_t> utf8_fields_;
    std::unique_ptr<ListWriter> writer_;
    CheckCounts counts_;
    bool done_ = false;
    bool cancelled_ = false;
    bool stopped_ = false;
    std::string refusal_;
};

// Builds `index` from the postcode file at `path` (from `reader`, opened on
// it); false with a sentence in `error` (the name included) when it cannot be
// read.
bool LoadLocalityIndex(const std::string& path, LocalityIndex& index, std::string& error);
bool ReadLocalityIndex(PostcodeFileReader& reader, const std::string& path, LocalityIndex& index,
                       std::string& error);

}  // namespace korvallestin
