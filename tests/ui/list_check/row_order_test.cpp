#include "row_order.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korvallestin {
namespace {

struct FakeRow {
    std::optional<Verdict> verdict;  // none: a blank row
    std::string text;                // the one column sorted by
};

// A list whose rows arrive as a test adds them; its one column is column 0.
class FakeRows : public OrderedRows {
  public:
    std::vector<FakeRow> rows;
    std::size_t RowCount() const override { return rows.size(); }
    std::optional<Verdict> RowVerdict(std::size_t row) const override { return rows[row].verdict; }
    bool IsProblem(std::size_t row) const override {
        return rows[row].verdict && *rows[row].verdict != Verdict::Ok &&
               *rows[row].verdict != Verdict::Fixed;
    }
    std::string SortText(std::size_t row, int column) const override {
        EXPECT_EQ(column, 0);
        return rows[row].text;
    }
};

std::vector<std::size_t> Shown(const RowOrder& order) {
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < order.Size(); ++i) {
        shown.push_back(order.Row(i));
    }
    return shown;
}

// Rows 0..5: ok, wrong-postcode, blank, fixed, unknown-locality, wrong-postcode.
FakeRows SampleList() {
    FakeRows list;
    list.rows = {{Verdict::Ok, "b"},
                 {Verdict::WrongPostcode, "Apple"},
                 {std::nullopt, ""},
                 {Verdict::Fixed, "apple"},
                 {Verdict::UnknownLocality, "C"},
                 {Verdict::WrongPostcode, "a"}};
    return list;
}

TEST(RowOrderTest, FiltersAndSortsTheRows) {
    const RowFilter all{RowFilter::Kind::AllRows, Verdict::Ok};
    const RowFilter to_fix{RowFilter::Kind::RowsToFix, Verdict::Ok};
    const RowFilter wrong_postcode{RowFilter::Kind::OneVerdict, Verdict::WrongPostcode};
    const RowFilter fixed{RowFilter::Kind::OneVerdict, Verdict::Fixed};
    struct Case {
        const char* what;
        RowFilter filter;
        int column;
        bool descending;
        std::vector<std::size_t> shown;
    };
    const Case cases[] = {
        {"every row, blank ones too, in the list's order",
         all,
         RowOrder::kListOrder,
         false,
         {0, 1, 2, 3, 4, 5}},
        {"the rows to fix: neither ok, fixed nor blank",
         to_fix,
         RowOrder::kListOrder,
         false,
         {1, 4, 5}},
        {"one verdict", wrong_postcode, RowOrder::kListOrder, false, {1, 5}},
        {"fixed rows are a verdict of their own", fixed, RowOrder::kListOrder, false, {3}},
        // "Apple" and "apple" are equal without case: the list's order between them.
        {"ascending, letter case aside, equal texts in the list's order",
         all,
         0,
         false,
         {2, 5, 1, 3, 0, 4}},
        {"descending keeps equal texts in the list's order too", all, 0, true, {4, 0, 1, 3, 5, 2}},
        {"a sort of the filtered rows", to_fix, 0, true, {4, 1, 5}},
    };
    const FakeRows list = SampleList();
    for (const Case& c : cases) {
        RowOrder order;
        order.SetFilter(c.filter);
        order.SetSort(c.column, c.descending);
        order.Rebuild(list);
        EXPECT_EQ(Shown(order), c.shown) << c.what;
    }
}

TEST(RowOrderTest, RowsReadLaterAreAddedAtTheEndOnce) {
    FakeRows list = SampleList();
    RowOrder order;
    order.SetFilter({RowFilter::Kind::RowsToFix, Verdict::Ok});
    list.rows.resize(2);
    order.Append(list);
    order.Append(list);  // nothing new read: nothing added twice
    EXPECT_EQ(Shown(order), (std::vector<std::size_t>{1}));
    list = SampleList();
    order.Append(list);
    EXPECT_EQ(Shown(order), (std::vector<std::size_t>{1, 4, 5}));
    EXPECT_EQ(order.Position(5), std::optional<std::size_t>(2));
    EXPECT_EQ(order.Position(0), std::nullopt);  // filtered out
    // A rebuild after rows were read starts from the first row again.
    order.SetFilter({RowFilter::Kind::AllRows, Verdict::Ok});
    order.Rebuild(list);
    EXPECT_EQ(order.Size(), list.rows.size());
}

}  // namespace
}  // namespace korvallestin
