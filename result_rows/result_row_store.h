#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "data_file.h"

namespace korvallestin {

// The rows of the results list, stored compactly and kept in sort order.
//
// Each row is one buffer: the nine field end offsets followed by the nine
// texts. Rows are taken in at once (Append) but join the visible order only
// when PromotePending runs, in a batch: the batch is sorted on its own, and a
// batch that sorts after every visible row is simply appended; otherwise the
// caller merges it in (MergeTail). This keeps a million rows arriving in any
// order at sorting cost instead of one insertion per row.
//
// Order: by the sort column's text, letter case ignored (ASCII), character by
// character, so numbers compare as text ("10" before "9"); rows with equal
// text keep their arrival order, in both directions.
class ResultRowStore {
  public:
    using RowId = std::uint32_t;
    static constexpr int kColumns = PostcodeRecord::kFieldCount;

    void Clear();
    void Append(const PostcodeRecord& record);

    std::size_t Stored() const { return rows_.size(); }
    std::size_t Visible() const { return order_.size(); }
    std::size_t Pending() const { return rows_.size() - promoted_; }

    // Sorts the pending rows and appends them to the visible order. Returns
    // false when they now sit out of order behind the earlier rows, so that
    // MergeTail must follow.
    bool PromotePending();
    // Merges the last `tail` visible rows, themselves sorted, into the rows
    // before them.
    void MergeTail(std::size_t tail);

    int SortKey() const { return sort_key_; }
    int SortOrder() const { return sort_order_; }
    // Re-orders the visible rows at once (pending rows follow at promotion).
    void SetSort(int key, int order);

    // The text of a visible row's cell, UTF-8.
    std::string_view Cell(std::size_t position, int column) const;
    RowId IdAt(std::size_t position) const { return order_[position]; }
    // Visible positions of the given rows, in the same order; -1 for a row
    // that is not visible.
    std::vector<std::ptrdiff_t> PositionsOf(const std::vector<RowId>& ids) const;

  private:
    // A row and the numbers that order it: its first 21 bytes of sort text,
    // seven to a number.
    struct Keyed {
        std::array<std::uint64_t, 3> key;
        RowId id;
    };
    // A number for a descending order is inverted, so that every sort runs
    // upwards and rows with equal text stay in arrival order.
    std::uint64_t Directed(std::uint64_t key) const { return sort_order_ != 0 ? ~key : key; }

    std::string_view Text(RowId id, int column) const;
    bool Less(RowId a, RowId b) const;
    // Sort rows and renew their cached prefixes.
    void SortIds(std::vector<RowId>::iterator first, std::vector<RowId>::iterator last);
    void SortBatch(std::vector<RowId>::iterator first, std::vector<RowId>::iterator last);

    std::vector<std::unique_ptr<char[]>> rows_;
    // Each row's sort text reduced to one number that orders as the text
    // does (see Prefix): most comparisons end there.
    std::vector<std::uint64_t> prefix_;
    std::vector<RowId> order_;
    std::size_t promoted_ = 0;
    int sort_key_ = 0;
    int sort_order_ = 0;
};

// Compares two texts ignoring ASCII letter case: <0, 0 or >0.
int CompareIgnoringCase(std::string_view a, std::string_view b);

}  // namespace korvallestin
