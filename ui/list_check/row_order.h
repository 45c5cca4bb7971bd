#pragma once

// Which of a checked list's rows the List Check window shows, and in what
// order: a filter (every row, the rows to fix, or one verdict's) and a sort
// by one column's text. Plain C++, no Qt, so that the rules are tried
// without a window.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "locality_index.h"

namespace korvallestin {

// A list as the order sees it: its rows, their verdicts and their texts.
class OrderedRows {
  public:
    virtual ~OrderedRows() = default;
    virtual std::size_t RowCount() const = 0;
    virtual std::optional<Verdict> RowVerdict(std::size_t row) const = 0;
    virtual bool IsProblem(std::size_t row) const = 0;
    // The text a column is sorted by.
    virtual std::string SortText(std::size_t row, int column) const = 0;
};

struct RowFilter {
    enum class Kind { AllRows, RowsToFix, OneVerdict };
    Kind kind = Kind::AllRows;
    Verdict verdict = Verdict::Ok;  // for OneVerdict
};

class RowOrder {
  public:
    static constexpr int kListOrder = -1;

    // The order of the rows shown; Rebuild applies it.
    void SetFilter(RowFilter filter) { filter_ = filter; }
    const RowFilter& Filter() const { return filter_; }
    // A column to sort by (kListOrder: the list's own order), each direction
    // keeping rows of equal text in the list's order.
    void SetSort(int column, bool descending) {
        sort_column_ = column;
        descending_ = descending;
    }
    int SortColumn() const { return sort_column_; }
    bool Descending() const { return descending_; }

    // Every row of `rows` that passes the filter, in the sort's order.
    void Rebuild(const OrderedRows& rows);
    // The rows read since the last Rebuild or Append that pass the filter,
    // added at the end: while a list loads, rows arrive in its own order.
    void Append(const OrderedRows& rows);
    void Clear();

    std::size_t Size() const { return shown_.size(); }
    // The list's row shown at `position`.
    std::size_t Row(std::size_t position) const { return shown_[position]; }
    // Where the list's row is shown, or nothing when it is filtered out.
    std::optional<std::size_t> Position(std::size_t row) const;
    // Whether `row` passes the filter now.
    bool Passes(const OrderedRows& rows, std::size_t row) const;

  private:
    RowFilter filter_;
    int sort_column_ = kListOrder;
    bool descending_ = false;
    std::vector<std::uint32_t> shown_;
    std::size_t seen_ = 0;  // rows of the list looked at so far
};

// A filter's caption in the window's filter box, and the filters in the
// order the box offers them: the rows to fix, every row, then each verdict.
std::vector<RowFilter> FilterChoices();
std::string FilterCaption(const RowFilter& filter);

}  // namespace korvallestin
