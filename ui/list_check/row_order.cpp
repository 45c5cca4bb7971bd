#include "row_order.h"

#include <algorithm>
#include <numeric>

namespace korvallestin {

namespace {

// Texts compared as people read a column: ASCII letters without their case.
std::string SortKey(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

}  // namespace

bool RowOrder::Passes(const OrderedRows& rows, std::size_t row) const {
    switch (filter_.kind) {
        case RowFilter::Kind::AllRows:
            return true;
        case RowFilter::Kind::RowsToFix:
            return rows.IsProblem(row);
        case RowFilter::Kind::OneVerdict: {
            const std::optional<Verdict> verdict = rows.RowVerdict(row);
            return verdict.has_value() && *verdict == filter_.verdict;
        }
    }
    return false;
}

void RowOrder::Clear() {
    shown_.clear();
    seen_ = 0;
}

void RowOrder::Append(const OrderedRows& rows) {
    const std::size_t count = rows.RowCount();
    for (; seen_ < count; ++seen_) {
        if (Passes(rows, seen_)) {
            shown_.push_back(static_cast<std::uint32_t>(seen_));
        }
    }
}

void RowOrder::Rebuild(const OrderedRows& rows) {
    Clear();
    Append(rows);
    if (sort_column_ == kListOrder) {
        return;
    }
    // Each shown row's key made once: a sort compares every row many times.
    std::vector<std::string> keys(shown_.size());
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        keys[i] = SortKey(rows.SortText(shown_[i], sort_column_));
    }
    std::vector<std::uint32_t> by_key(shown_.size());
    std::iota(by_key.begin(), by_key.end(), 0U);
    std::stable_sort(by_key.begin(), by_key.end(), [&](std::uint32_t a, std::uint32_t b) {
        return descending_ ? keys[b] < keys[a] : keys[a] < keys[b];
    });
    std::vector<std::uint32_t> sorted(shown_.size());
    for (std::size_t i = 0; i < by_key.size(); ++i) {
        sorted[i] = shown_[by_key[i]];
    }
    shown_ = std::move(sorted);
}

std::optional<std::size_t> RowOrder::Position(std::size_t row) const {
    const auto at = std::find(shown_.begin(), shown_.end(), static_cast<std::uint32_t>(row));
    if (at == shown_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(at - shown_.begin());
}

std::vector<RowFilter> FilterChoices() {
    std::vector<RowFilter> choices{{RowFilter::Kind::RowsToFix, Verdict::Ok},
                                   {RowFilter::Kind::AllRows, Verdict::Ok}};
    for (int v = 0; v < kVerdictCount; ++v) {
        choices.push_back({RowFilter::Kind::OneVerdict, static_cast<Verdict>(v)});
    }
    return choices;
}

std::string FilterCaption(const RowFilter& filter) {
    switch (filter.kind) {
        case RowFilter::Kind::AllRows:
            return "All rows";
        case RowFilter::Kind::RowsToFix:
            return "Rows to fix";
        case RowFilter::Kind::OneVerdict:
            return std::string(VerdictWord(filter.verdict));
    }
    return {};
}

}  // namespace korvallestin
