#pragma once

// An address list read, checked and held whole, for the List Check window:
// loaded a bounded step at a time (so that a window stays responsive), its
// rows changed by suggestions, sure fixes and hand edits (each change a step
// that can be undone and redone), and saved as the console's check writes it.
// The verdicts and suggestions are the console's: the same steps of ListCheck
// make them.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check_options.h"
#include "list_check.h"
#include "list_reader.h"
#include "locality_index.h"

namespace korvallestin {

class CheckedList {
  public:
    // `index` outlives the list.
    explicit CheckedList(const LocalityIndex& index);
    ~CheckedList();
    CheckedList(const CheckedList&) = delete;
    CheckedList& operator=(const CheckedList&) = delete;

    // --- Loading -----------------------------------------------------------
    // Before Open: how lists are read (the header line, delimiter, no header,
    // columns named), as the console's check is told; fixing, the output and
    // the encoding written are not taken from it.
    void SetOptions(const CheckOptions& options);
    // Opens the list read-only; false with a sentence in `error` (the name
    // included) when it cannot be opened. Any list held before is dropped.
    bool Open(const std::string& path, std::string& error);

    enum class LoadState {
        More,         // call Load again
        NeedColumns,  // the columns could not be found by their headings: ask, then SetColumns
        Done,         // every row is read and checked
        Failed,       // the list cannot be read further: see Failure(); the rows before stay
        Cancelled,
    };
    // Reads and checks up to `rows` rows (or measures that many, on the
    // first pass); each call does a bounded amount of work.
    LoadState Load(std::size_t rows);
    void Cancel();
    // Bytes of the file gone through so far, of all that will be (both
    // passes counted), for a progress bar: 0 to 1.
    double LoadedFraction() const;

    // The headings (or "column N" when the list has no header) and its first
    // rows, for a person picking the columns; why they are asked for.
    const std::vector<std::string>& Headings() const;
    std::vector<std::vector<std::string>> FirstRows(std::size_t count) const;
    const std::string& ColumnQuestion() const;
    // The columns picked; loading then goes on. False (with the reason in
    // `error`) when they cannot be: the same column twice, one missing.
    bool SetColumns(int postcode, int locality, int state, std::string& error);
    const ListColumns& Columns() const;
    // Which columns were found by their headings, as a sentence for a line
    // above the table, or empty when they were picked by hand.
    std::string ColumnsFoundText() const;

    // Why the list could not be read to its end, with its line: a sentence
    // such as "Line 12 has a quote that is never closed." (Kind::None when
    // it was read whole).
    const ListFailure& Failure() const;
    std::string FailureText() const;

    // --- The rows ----------------------------------------------------------
    std::size_t RowCount() const;  // every row read, blank ones included
    // The list's own columns: the header's, or the widest row's when wider.
    std::size_t ColumnCount() const;
    std::string_view Cell(std::size_t row, std::size_t column) const;  // "" past a row's end
    long Line(std::size_t row) const;                                  // where it began, from 1
    // No verdict for a blank row (or a final Ctrl-Z), which is kept as it is.
    std::optional<Verdict> RowVerdict(std::size_t row) const;
    // The suggestion column's text as the console writes it; for a row
    // fixed here, what was there before ("locality was Sydny").
    std::string SuggestionText(std::size_t row) const;
    // The places a row's suggestion names, to choose from (empty when none).
    std::vector<Place> Suggestions(std::size_t row) const;
    bool IsProblem(std::size_t row) const;  // a verdict other than ok and fixed

    // The verdicts counted, as the console counts them, and the summary line.
    const CheckCounts& Counts() const;
    std::string SummaryText() const;

    // --- Changes: each one step of Undo ------------------------------------
    // Puts the place into the row's postcode, locality and state cells; the
    // row becomes `fixed`, its suggestion saying what was there.
    void ApplySuggestion(std::size_t row, const Place& place);
    // Applies the sure fixes the console's check --fix makes, as one step;
    // the number of rows fixed.
    std::size_t FixAllSure();
    // A cell typed by hand; the row is checked again at once. A row changed
    // here that is then right is `fixed`, its suggestion what was there.
    void SetCell(std::size_t row, std::size_t column, std::string text);
    bool CanUndo() const;
    bool CanRedo() const;
    bool Undo();
    bool Redo();
    // The rows the last change, undo or redo touched, for a view to repaint.
    const std::vector<std::size_t>& ChangedRows() const;
    // Changes since the list was loaded or last saved.
    bool Modified() const;

    // --- Saving ------------------------------------------------------------
    // The list's own way of writing, which a save keeps.
    ListOutputEncoding Encoding() const;
    char Delimiter() const;
    std::string_view LineEnd() const;
    // Writes the list as the console's check writes it (its title lines,
    // header and rows, in its own encoding, delimiter and line ends), with the
    // verdict and suggestion columns unless `check_columns` is false: to a
    // temporary file beside `path`, renamed into place, permissions kept. False
    // with a sentence in `error`; nothing is left behind then.
    bool Save(const std::string& path, bool check_columns, std::string& error);
    // "NAME (checked).csv" beside the list.
    std::string CheckedCopyName() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace korvallestin
