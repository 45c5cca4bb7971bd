#include "column_click.h"

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korvallestin {
namespace {

// A list that keeps only what the click rule reads and writes.
class FakeList : public SortableList {
  public:
    int key = 0;
    int order = 0;
    std::array<std::string, 9> texts{"Postcode",    "Locality",          "State",
                                     "Comments",    " Delivery Office ", "Presort",
                                     "Parcel Zone", "BSP Number",        "BSP Name"};
    std::array<int, 9> icons{};

    int SortKey() const override { return key; }
    void SetSortKey(int k) override { key = k; }
    int SortOrder() const override { return order; }
    void SetSortOrder(int o) override { order = o; }
    std::string HeaderText(int h) const override { return texts.at(h - 1); }
    void SetHeaderText(int h, const std::string& t) override { texts.at(h - 1) = t; }
    void SetHeaderIcon(int h, int icon) override { icons.at(h - 1) = icon; }

    // The one header that carries a mark, or 0 when none does.
    int MarkedHeader() const {
        int marked = 0;
        for (int h = 1; h <= 9; ++h) {
            if (icons[h - 1] != 0) {
                EXPECT_EQ(marked, 0) << "two marks";
                marked = h;
            }
        }
        return marked;
    }
};

struct Step {
    int click;
    int key;
    int order;
};

TEST(ColumnClick, ClickSequences) {
    struct Sequence {
        const char* why;
        int start_key, start_order;
        std::vector<Step> steps;
    };
    const std::vector<Sequence> sequences = {
        {"first click on the start-up sort column reverses it", 0, 0, {{1, 0, 1}}},
        {"first click on another column keeps ascending", 0, 0, {{2, 1, 0}}},
        {"three clicks on one column alternate", 0, 0, {{2, 1, 0}, {2, 1, 1}, {2, 1, 0}}},
        {"another column keeps descending", 0, 0, {{2, 1, 0}, {2, 1, 1}, {3, 2, 1}}},
        {"last and first columns", 8, 1, {{9, 8, 0}, {1, 0, 0}, {1, 0, 1}}},
    };
    for (const Sequence& s : sequences) {
        FakeList list;
        list.key = s.start_key;
        list.order = s.start_order;
        for (const Step& step : s.steps) {
            lvwResults_ColumnClick(list, step.click);
            EXPECT_EQ(list.key, step.key) << s.why;
            EXPECT_EQ(list.order, step.order) << s.why;
            EXPECT_EQ(list.MarkedHeader(), step.key + 1) << s.why;
            EXPECT_EQ(list.icons[step.key], step.order + 1) << s.why;
        }
    }
}

TEST(ColumnClick, AfterNewSearchTheLastSortColumnStillReversesWithoutAMark) {
    // New Search rebuilds the headers without marks but keeps the sort.
    FakeList list;
    lvwResults_ColumnClick(list, 2);
    list.icons = {};
    lvwResults_ColumnClick(list, 2);
    EXPECT_EQ(list.order, 1);
    EXPECT_EQ(list.MarkedHeader(), 2);
}

TEST(ColumnClick, TrimsOnlyTheOldSortHeadersCaption) {
    FakeList list;
    list.key = 4;  // " Delivery Office "
    list.texts[1] = " Locality ";
    lvwResults_ColumnClick(list, 2);
    EXPECT_EQ(list.texts[4], "Delivery Office");
    EXPECT_EQ(list.texts[1], " Locality ");
    list.texts[0] = "   ";
    list.key = 0;
    lvwResults_ColumnClick(list, 1);
    EXPECT_EQ(list.texts[0], "");
    EXPECT_EQ(list.texts[2], "State");
}

}  // namespace
}  // namespace korvallestin
