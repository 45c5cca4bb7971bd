#include "result_row_store.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace korvallestin {
namespace {

using ::testing::ElementsAre;

PostcodeRecord Rec(std::string postcode, std::string locality, std::string state = "VIC") {
    PostcodeRecord r;
    r.Postcode = std::move(postcode);
    r.Locality = std::move(locality);
    r.State = std::move(state);
    r.BSPName = "b" + r.Postcode;
    return r;
}

std::vector<std::string> Column(const ResultRowStore& rows, int column) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < rows.Visible(); ++i) {
        out.emplace_back(rows.Cell(i, column));
    }
    return out;
}

// Appends records [start, end) as one batch arrives from a run, then shows
// them: promoted while still in order, merged into place otherwise.
void AppendBatch(ResultRowStore& rows, const std::vector<PostcodeRecord>& records,
                 std::size_t start, std::size_t end) {
    for (std::size_t i = start; i < end; ++i) {
        rows.Append(records[i]);
    }
    if (!rows.PromotePending()) {
        rows.MergeTail(end - start);
    }
}

void AddAll(ResultRowStore& rows, const std::vector<PostcodeRecord>& records) {
    AppendBatch(rows, records, 0, records.size());
}

// Asserts that `rows` lists the records in a stable sort by locality,
// ascending for order 0 and descending for order 1.
void ExpectSortedByLocality(const ResultRowStore& rows, const std::vector<PostcodeRecord>& records,
                            int order, const char* when) {
    std::vector<std::size_t> expected(records.size());
    std::iota(expected.begin(), expected.end(), std::size_t{0});
    std::stable_sort(expected.begin(), expected.end(), [&](std::size_t a, std::size_t b) {
        const int c = CompareIgnoringCase(records[a].Locality, records[b].Locality);
        return order == 0 ? c < 0 : c > 0;
    });
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(rows.Cell(i, 0), records[expected[i]].Postcode)
            << when << ", order " << order << " at " << i;
    }
}

TEST(ResultRowStore, StoresEveryFieldExactly) {
    ResultRowStore rows;
    PostcodeRecord r;
    for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
        r.Field(i) = std::string(static_cast<std::size_t>(i), static_cast<char>('a' + i));
    }
    r.Field(4) = std::string("N\0L", 3);
    rows.Append(r);
    EXPECT_EQ(rows.Visible(), 0U);  // not visible before promotion
    EXPECT_EQ(rows.Pending(), 1U);
    EXPECT_TRUE(rows.PromotePending());
    for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
        EXPECT_EQ(rows.Cell(0, i), r.Field(i)) << i;
    }
}

TEST(ResultRowStore, OrderIgnoresCaseComparesNumbersAsTextAndKeepsArrivalForTies) {
    ResultRowStore rows;
    AddAll(rows, {Rec("9", "b"), Rec("10", "A"), Rec("1", "B"), Rec("10", "a"), Rec("2", "ab")});
    EXPECT_THAT(Column(rows, 0), ElementsAre("1", "10", "10", "2", "9"));
    EXPECT_THAT(Column(rows, 1), ElementsAre("B", "A", "a", "ab", "b"));

    rows.SetSort(1, 0);
    EXPECT_THAT(Column(rows, 1), ElementsAre("A", "a", "ab", "b", "B"));
    // Descending: equal texts still in arrival order.
    rows.SetSort(1, 1);
    EXPECT_THAT(Column(rows, 1), ElementsAre("b", "B", "ab", "A", "a"));
    rows.SetSort(0, 1);
    EXPECT_THAT(Column(rows, 0), ElementsAre("9", "2", "10", "10", "1"));
    EXPECT_THAT(Column(rows, 1), ElementsAre("b", "ab", "A", "a", "B"));
}

TEST(ResultRowStore, BatchesLandInPlaceWhateverOrderTheyArriveIn) {
    // Rows arrive in small batches in reverse and in scrambled order; after
    // each promotion the visible rows are exactly the sorted prefix.
    for (const bool reverse : {true, false}) {
        ResultRowStore rows;
        rows.SetSort(1, 0);
        std::vector<PostcodeRecord> all;
        for (int i = 0; i < 500; ++i) {
            const int n = reverse ? 499 - i : (i * 7919) % 500;
            char locality[8];
            std::snprintf(locality, sizeof locality, "L%03d", n);
            all.push_back(Rec(std::to_string(i), locality));
        }
        for (std::size_t start = 0; start < all.size(); start += 37) {
            const std::size_t end = std::min(all.size(), start + 37);
            AppendBatch(rows, all, start, end);
            const auto localities = Column(rows, 1);
            ASSERT_EQ(localities.size(), end);
            ASSERT_TRUE(std::is_sorted(localities.begin(), localities.end()));
        }
    }
}

TEST(ResultRowStore, OrderAgreesWithAPlainSortForAnyTexts) {
    // Texts around the lengths where each seven-byte step of the order stops
    // (7, 8, 14, 15 and 21 bytes), with NUL bytes, letter case and shared
    // beginnings; arriving in batches, then re-sorted both ways.
    std::mt19937 random(17);
    // Letters, the characters either side of both letter ranges and bytes
    // of UTF-8 text (none of them letters to fold).
    const std::string alphabet("aAbB\0zZ9`{@[\xC3\xA1\xE1", 15);
    std::vector<PostcodeRecord> records;
    for (int i = 0; i < 600; ++i) {
        const char* beginnings[] = {"", "PORTLAN", "PortlanD Bay", "PORTLAND BAY NORTH EAST"};
        std::string text = beginnings[i % 4];
        const std::size_t length = random() % 12;
        for (std::size_t k = 0; k < length; ++k) {
            text += alphabet[random() % alphabet.size()];
        }
        records.push_back(Rec(std::to_string(i), text));
    }
    for (const int order : {0, 1, 0}) {
        ResultRowStore rows;
        rows.SetSort(1, order);
        for (std::size_t start = 0; start < records.size(); start += 45) {
            const std::size_t end = std::min(records.size(), start + 45);
            AppendBatch(rows, records, start, end);
        }
        ExpectSortedByLocality(rows, records, order, "arrived in batches");
        // The same rows re-sorted by locality the other way, and back.
        rows.SetSort(0, 0);
        rows.SetSort(1, 1 - order);
        rows.SetSort(1, order);
        ExpectSortedByLocality(rows, records, order, "re-sorted");
    }
}

TEST(ResultRowStore, ALongListIsSortedAsAShortOneIs) {
    // Enough rows that a new order groups them by their first bytes before
    // sorting; texts agree on up to 30 bytes and differ in letter case.
    std::mt19937 random(23);
    const char* words[] = {"port", "PORT", "Mount", "mount", "North", "Bay", "Lake", "Macquarie"};
    std::vector<PostcodeRecord> records;
    for (int i = 0; i < 70'000; ++i) {
        std::string text;
        for (std::size_t w = random() % 5; w < 5; ++w) {
            text += words[random() % std::size(words)];
            text += ' ';
        }
        records.push_back(Rec(std::to_string(i), text));
    }
    ResultRowStore rows;
    AddAll(rows, records);
    for (const int order : {0, 1}) {
        rows.SetSort(1, order);
        ExpectSortedByLocality(rows, records, order, "long list");
    }
}

TEST(ResultRowStore, PromotionTellsWhetherANewBatchFollowsTheOldRows) {
    ResultRowStore rows;
    rows.Append(Rec("3000", "A"));
    rows.Append(Rec("3001", "B"));
    EXPECT_TRUE(rows.PromotePending());
    rows.Append(Rec("3002", "C"));
    EXPECT_TRUE(rows.PromotePending());  // after the last: a plain append
    rows.Append(Rec("2000", "D"));
    EXPECT_FALSE(rows.PromotePending());
    rows.MergeTail(1);
    EXPECT_THAT(Column(rows, 0), ElementsAre("2000", "3000", "3001", "3002"));
    // An equal key that arrives later goes after its twin.
    rows.Append(Rec("3002", "E"));
    EXPECT_TRUE(rows.PromotePending());
    EXPECT_THAT(Column(rows, 1), ElementsAre("D", "A", "B", "C", "E"));
}

TEST(ResultRowStore, PositionsFollowRowsThroughAResort) {
    ResultRowStore rows;
    AddAll(rows, {Rec("3", "C"), Rec("1", "B"), Rec("2", "A")});
    // By postcode: "1" B, "2" A, "3" C.
    const std::vector<ResultRowStore::RowId> ids = {rows.IdAt(0), rows.IdAt(2), rows.IdAt(0)};
    rows.SetSort(1, 0);  // by locality: A, B, C
    EXPECT_THAT(rows.PositionsOf(ids), ElementsAre(1, 2, 1));
    rows.Clear();
    EXPECT_THAT(rows.PositionsOf(ids), ElementsAre(-1, -1, -1));
    EXPECT_EQ(rows.Stored(), 0U);
}

TEST(CompareIgnoringCase, IsATotalOrderOnBytes) {
    EXPECT_EQ(CompareIgnoringCase("abc", "ABC"), 0);
    EXPECT_LT(CompareIgnoringCase("ab", "abc"), 0);
    EXPECT_GT(CompareIgnoringCase("b", "ABC"), 0);
    EXPECT_LT(CompareIgnoringCase("10", "9"), 0);
    EXPECT_LT(CompareIgnoringCase("Z", "\xC3\x89"), 0);  // bytes above 127 after ASCII
    EXPECT_LT(CompareIgnoringCase(std::string("A\0", 2), "A\x01"), 0);
    EXPECT_GT(CompareIgnoringCase(std::string("ABCDEFGH\0", 9), "ABCDEFGH"), 0);
}

}  // namespace
}  // namespace korvallestin
