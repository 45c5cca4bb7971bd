#include "result_row_store.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "letter_case.h"

namespace korvallestin {

namespace {

using Offset = std::uint32_t;
constexpr std::size_t kHeaderBytes = sizeof(Offset) * ResultRowStore::kColumns;

// Seven bytes of a text from `from` on, case folded, then how many bytes it
// has from there, up to 8, as one number that orders as that part of the
// text does. Equal numbers with a count below 8 mean equal texts from `from`
// on; two texts with a count of 8 that agree on the seven bytes need a look
// at the next seven.
constexpr std::uint64_t kLongText = 8;
constexpr std::size_t kChunkBytes = 7;

// Fold for eight bytes at once: each byte's high bit, in a copy with the
// high bits cleared, tells whether it is from 'a' on and whether it is past
// 'z'; bytes that had the high bit set are no letters.
std::uint64_t FoldEight(std::uint64_t bytes) {
    constexpr std::uint64_t kEach = 0x0101010101010101;
    const std::uint64_t low = bytes & (0x7F * kEach);
    const std::uint64_t from_a = low + (0x80 - 'a') * kEach;
    const std::uint64_t past_z = low + (0x80 - 'z' - 1) * kEach;
    const std::uint64_t letters = from_a & ~past_z & ~bytes & (0x80 * kEach);
    return bytes - (letters >> 2);  // 'a' - 'A' is 0x20
}

std::uint64_t Chunk(std::string_view text, std::size_t from) {
    const std::size_t rest = text.size() > from ? text.size() - from : 0;
    unsigned char bytes[8] = {};
    if (rest > 0) {
        std::memcpy(bytes, text.data() + from, std::min(rest, kChunkBytes));
    }
    std::uint64_t key = 0;
    for (const unsigned char b : bytes) {
        key = (key << 8) | b;
    }
    return FoldEight(key) | std::min<std::uint64_t>(rest, kLongText);
}

std::uint64_t Prefix(std::string_view text) {
    return Chunk(text, 0);
}

}  // namespace

int CompareIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(UpperAsciiLetter(a[i]));
        const auto cb = static_cast<unsigned char>(UpperAsciiLetter(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

void ResultRowStore::Clear() {
    rows_.clear();
    rows_.shrink_to_fit();
    prefix_.clear();
    prefix_.shrink_to_fit();
    order_.clear();
    order_.shrink_to_fit();
    promoted_ = 0;
}

void ResultRowStore::Append(const PostcodeRecord& record) {
    std::size_t text_bytes = 0;
    for (int i = 0; i < kColumns; ++i) {
        text_bytes += record.Field(i).size();
    }
    auto buffer = std::make_unique_for_overwrite<char[]>(kHeaderBytes + text_bytes);
    Offset end = 0;
    char* text = buffer.get() + kHeaderBytes;
    for (int i = 0; i < kColumns; ++i) {
        const std::string& field = record.Field(i);
        std::copy(field.begin(), field.end(), text + end);
        end += static_cast<Offset>(field.size());
        std::memcpy(buffer.get() + i * sizeof(Offset), &end, sizeof(Offset));
    }
    rows_.push_back(std::move(buffer));
    prefix_.push_back(Prefix(record.Field(sort_key_)));
}

std::string_view ResultRowStore::Text(RowId id, int column) const {
    const char* buffer = rows_[id].get();
    Offset begin = 0;
    Offset end = 0;
    if (column > 0) {
        std::memcpy(&begin, buffer + (column - 1) * sizeof(Offset), sizeof(Offset));
    }
    std::memcpy(&end, buffer + column * sizeof(Offset), sizeof(Offset));
    return {buffer + kHeaderBytes + begin, end - begin};
}

std::string_view ResultRowStore::Cell(std::size_t position, int column) const {
    return Text(order_[position], column);
}

bool ResultRowStore::Less(RowId a, RowId b) const {
    const std::uint64_t pa = prefix_[a];
    const std::uint64_t pb = prefix_[b];
    if (pa != pb) {
        return (pa < pb) != (sort_order_ != 0);
    }
    if ((pa & 0xFF) < kLongText) {
        return a < b;  // the same short text: arrival decides
    }
    int c = CompareIgnoringCase(Text(a, sort_key_), Text(b, sort_key_));
    if (sort_order_ != 0) {
        c = -c;
    }
    return c != 0 ? c < 0 : a < b;
}

void ResultRowStore::SortIds(std::vector<RowId>::iterator first,
                             std::vector<RowId>::iterator last) {
    // Each row is sorted by three numbers made from its first 21 bytes of
    // text (see Chunk), then by arrival: comparisons test integers, and each
    // row's text is read once, in the order given (arrival order, the order
    // in which the rows lie in memory); its cached prefix is renewed on the
    // way. Rows that agree on all 21 bytes are compared in full afterwards.
    const auto count = static_cast<std::size_t>(last - first);
    // Many rows are grouped by their first two bytes while their texts are
    // read, so that each group is sorted on its own, within the cache.
    constexpr std::size_t kGroups = std::size_t{1} << 16;
    const bool grouped = count >= kGroups;
    auto group_of = [](std::uint64_t key) { return static_cast<std::size_t>(key >> 48); };
    std::vector<std::size_t> starts{0, count};
    if (grouped) {
        starts.assign(kGroups + 1, 0);
    }
    std::vector<std::array<std::uint64_t, 2>> later(count);
    for (std::size_t i = 0; i < count; ++i) {
        const RowId id = first[static_cast<std::ptrdiff_t>(i)];
        const std::string_view text = Text(id, sort_key_);
        prefix_[id] = Prefix(text);
        later[i] = {Directed(Chunk(text, kChunkBytes)), Directed(Chunk(text, 2 * kChunkBytes))};
        if (grouped) {
            ++starts[group_of(Directed(prefix_[id])) + 1];
        }
    }
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<std::size_t> next(starts.begin(), starts.end() - 1);
    std::vector<Keyed> keyed(count);
    for (std::size_t i = 0; i < count; ++i) {
        const RowId id = first[static_cast<std::ptrdiff_t>(i)];
        const Keyed k{{Directed(prefix_[id]), later[i][0], later[i][1]}, id};
        keyed[next[grouped ? group_of(k.key[0]) : 0]++] = k;
    }
    later = {};
    auto by_keys = [](const Keyed& a, const Keyed& b) {
        for (std::size_t i = 0; i < a.key.size(); ++i) {
            if (a.key[i] != b.key[i]) {
                return a.key[i] < b.key[i];
            }
        }
        return a.id < b.id;
    };
    for (std::size_t g = 0; g + 1 < starts.size(); ++g) {
        std::sort(keyed.begin() + static_cast<std::ptrdiff_t>(starts[g]),
                  keyed.begin() + static_cast<std::ptrdiff_t>(starts[g + 1]), by_keys);
    }
    for (auto tie = keyed.begin(); tie != keyed.end();) {
        auto end = tie + 1;
        while (end != keyed.end() && end->key[0] == tie->key[0] && end->key[1] == tie->key[1] &&
               end->key[2] == tie->key[2]) {
            ++end;
        }
        if (end - tie > 1 && (Directed(tie->key[2]) & 0xFF) == kLongText) {
            std::sort(tie, end,
                      [this](const Keyed& a, const Keyed& b) { return Less(a.id, b.id); });
        }
        tie = end;
    }
    for (const Keyed& k : keyed) {
        *first++ = k.id;
    }
}

void ResultRowStore::SortBatch(std::vector<RowId>::iterator first,
                               std::vector<RowId>::iterator last) {
    // Rows arrive in file order, and files are often sorted already: a batch
    // made of a few sorted runs is merged run by run, in linear time.
    auto less = [this](RowId a, RowId b) { return Less(a, b); };
    constexpr int kMostRuns = 8;
    std::vector<std::vector<RowId>::iterator> runs{first};
    for (auto it = first; it != last && runs.size() <= kMostRuns; ++it) {
        if (it + 1 != last && less(*(it + 1), *it)) {
            runs.push_back(it + 1);
        }
    }
    if (runs.size() > kMostRuns) {
        SortIds(first, last);
        return;
    }
    for (std::size_t r = 1; r < runs.size(); ++r) {
        const auto end = r + 1 < runs.size() ? runs[r + 1] : last;
        std::inplace_merge(first, runs[r], end, less);
    }
}

bool ResultRowStore::PromotePending() {
    const std::size_t old_size = order_.size();
    for (std::size_t id = promoted_; id < rows_.size(); ++id) {
        order_.push_back(static_cast<RowId>(id));
    }
    promoted_ = rows_.size();
    const auto tail = order_.begin() + static_cast<std::ptrdiff_t>(old_size);
    SortBatch(tail, order_.end());
    return old_size == 0 || tail == order_.end() || !Less(*tail, *(tail - 1));
}

void ResultRowStore::MergeTail(std::size_t tail) {
    // From the back, each new row goes after the earlier rows that sort
    // after it, which move up in one block. Its place is found by galloping
    // back from the place of the row before it (the new rows are sorted too),
    // so a batch of m rows costs about m log(n / m) comparisons and one pass
    // of moves.
    const std::vector<RowId> incoming(order_.end() - static_cast<std::ptrdiff_t>(tail),
                                      order_.end());
    auto less = [this](RowId a, RowId b) { return Less(a, b); };
    auto head_end = order_.end() - static_cast<std::ptrdiff_t>(tail);
    auto write = order_.end();
    for (auto it = incoming.rbegin(); it != incoming.rend(); ++it) {
        // Widen the step until the row at the step's end sorts before this one.
        std::ptrdiff_t step = 1;
        auto low = head_end;
        while (low != order_.begin() && less(*it, *(low - 1))) {
            const std::ptrdiff_t room = low - order_.begin();
            low -= std::min(step, room);
            step *= 2;
        }
        const auto place = std::upper_bound(low, head_end, *it, less);
        write = std::copy_backward(place, head_end, write);
        head_end = place;
        *--write = *it;
    }
}

void ResultRowStore::SetSort(int key, int order) {
    if (key == sort_key_ && order == sort_order_) {
        return;
    }
    const bool reversed_only = key == sort_key_;
    sort_key_ = key;
    sort_order_ = order;
    if (reversed_only) {
        // Same column, other direction: runs of equal text keep their
        // arrival order, so reverse the whole and then each run back.
        std::reverse(order_.begin(), order_.end());
        auto run = order_.begin();
        while (run != order_.end()) {
            auto next = run + 1;
            while (next != order_.end() && prefix_[*run] == prefix_[*next] &&
                   ((prefix_[*run] & 0xFF) < kLongText ||
                    CompareIgnoringCase(Text(*run, key), Text(*next, key)) == 0)) {
                ++next;
            }
            std::reverse(run, next);
            run = next;
        }
        return;
    }
    // The visible rows are the first ones that arrived; they are sorted
    // from arrival order, as they lie in memory. Sorting renews their cached
    // prefixes; the pending rows' are renewed here.
    std::iota(order_.begin(), order_.end(), RowId{0});
    SortIds(order_.begin(), order_.end());
    for (std::size_t id = promoted_; id < rows_.size(); ++id) {
        prefix_[id] = Prefix(Text(static_cast<RowId>(id), key));
    }
}

std::vector<std::ptrdiff_t> ResultRowStore::PositionsOf(const std::vector<RowId>& ids) const {
    // The visible order is sorted by (text, arrival), so each row's place is
    // found by binary search.
    std::vector<std::ptrdiff_t> positions;
    positions.reserve(ids.size());
    for (const RowId id : ids) {
        if (id >= promoted_) {
            positions.push_back(-1);
            continue;
        }
        const auto it = std::lower_bound(order_.begin(), order_.end(), id,
                                         [this](RowId a, RowId b) { return Less(a, b); });
        positions.push_back(it != order_.end() && *it == id ? it - order_.begin() : -1);
    }
    return positions;
}

}  // namespace korvallestin
